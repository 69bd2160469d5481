# Fails when a file is larger than its budget.
# Usage: cmake -DFILE=PATH -DBUDGET=BYTES -P check-file-size.cmake
file(SIZE "${FILE}" size)
if(size GREATER BUDGET)
  message(FATAL_ERROR "${FILE} is ${size} bytes, over its budget of ${BUDGET}")
endif()
message(STATUS "${FILE}: ${size} bytes, budget ${BUDGET}")
