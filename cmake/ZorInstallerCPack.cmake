# CPack's External generator for ZorInstaller: the staged install tree becomes
# one installer, <package directory>/<CPACK_PACKAGE_FILE_NAME>.exe, which the
# script reports to CPack. In the project:
#
#   find_package(ZorInstaller CONFIG REQUIRED)
#   set(CPACK_GENERATOR External)
#   set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${ZorInstaller_CPACK_SCRIPT})
#   set(CPACK_EXTERNAL_ENABLE_STAGING ON)
#   set(CPACK_PACKAGE_EXECUTABLES hello "Hello")  # the first one is the main executable
#   set(CPACK_ZORINSTALLER_OPTIONS --uninstaller)  # more zorpack options, if any
#   include(CPack)
#
# It uses CPACK_PACKAGE_NAME, CPACK_PACKAGE_VERSION, CPACK_PACKAGE_VENDOR (the
# publisher) and the first executable of CPACK_PACKAGE_EXECUTABLES, which is
# found in the staged tree by its name with ".exe".
if(NOT CPACK_EXTERNAL_ENABLE_STAGING)
  message(FATAL_ERROR "ZorInstaller's CPack generator needs CPACK_EXTERNAL_ENABLE_STAGING ON")
endif()
if(NOT CPACK_PACKAGE_EXECUTABLES)
  message(FATAL_ERROR "ZorInstaller's CPack generator needs CPACK_PACKAGE_EXECUTABLES: the first is the main program")
endif()
list(GET CPACK_PACKAGE_EXECUTABLES 0 main)
set(staged ${CPACK_TEMPORARY_DIRECTORY})
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${staged} ${staged}/*)
set(main_entry "")
foreach(file IN LISTS found)
  get_filename_component(name ${file} NAME)
  if(name STREQUAL "${main}.exe" AND NOT main_entry)
    set(main_entry ${file})
  endif()
endforeach()
if(NOT main_entry)
  message(FATAL_ERROR "ZorInstaller's CPack generator: no ${main}.exe in the staged tree ${staged}")
endif()

set(zorpack ${CPACK_ZORINSTALLER_ZORPACK}) # set by find_package(ZorInstaller)
if(NOT EXISTS "${zorpack}")
  message(FATAL_ERROR "ZorInstaller's CPack generator: no zorpack at '${zorpack}'; find_package(ZorInstaller) first")
endif()
set(installer ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.exe)
set(publisher ${CPACK_PACKAGE_VENDOR})
if(NOT publisher)
  set(publisher ${CPACK_PACKAGE_NAME})
endif()
execute_process(COMMAND ${zorpack} build -o ${installer} --name ${CPACK_PACKAGE_NAME}
                        --version ${CPACK_PACKAGE_VERSION} --publisher ${publisher} --main ${main_entry}
                        ${CPACK_ZORINSTALLER_OPTIONS} ${staged}/
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zorpack could not build ${installer} (exit ${result})")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${installer})
