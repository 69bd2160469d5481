# Writes an application manifest without its comments and the layout
# whitespace between and inside its tags: the manifest is a resource of every
# installer, and what it says to Windows is the same either way.
# Usage: cmake -DINPUT=PATH -DOUTPUT=PATH -P compact-manifest.cmake
file(READ "${INPUT}" text)
# The comments hold no ">", which keeps this pattern from reaching past one.
string(REGEX REPLACE "<!--[^>]*-->" "" text "${text}")
if(text MATCHES "<!--")
  message(FATAL_ERROR "${INPUT}: a comment this script cannot remove (one holding \">\")")
endif()
string(REGEX REPLACE "[ \t\r\n]+" " " text "${text}")
string(REPLACE "> <" "><" text "${text}")
string(STRIP "${text}" text)
file(WRITE "${OUTPUT}" "${text}\n")
