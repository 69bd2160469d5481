# zor_add_installer: a target that builds a Windows installer with zorpack
# after the application it installs.
#
#   zor_add_installer(NAME "Hello World" VERSION 1.0 PUBLISHER Acme TARGET hello
#                     [FILES readme.txt ...] [DIRECTORIES doc ...]
#                     [OPTIONS --uninstaller ...] [COMPRESSION lzma] [ICON app.ico]
#                     [OUTPUT path/Setup.exe] [TARGET_NAME hello_installer])
#
# The target (default <target>_installer, built with ALL) runs
#   zorpack build -o OUTPUT --name NAME --version VERSION --publisher PUBLISHER
#     [--compression COMPRESSION] [--icon ICON] OPTIONS... <the target's file> FILES... DIRECTORIES...
# so the application is the installer's first file, whose shortcut it makes.
# A directory is given as it is written (see zorpack's "Directories": "doc"
# stores doc\..., "doc/" what it holds). OUTPUT defaults to
# <binary dir>/<NAME without blanks>-<VERSION>-Setup.exe. The installer is
# made again when the application, zorpack or any file given or found below
# a directory changes (a file added to a directory is seen at the next
# configuration), and not otherwise.
#
# ZorInstaller_CPACK_SCRIPT is the script of CPack's External generator that
# makes the installer from a staged install tree (ZorInstallerCPack.cmake).

set(ZorInstaller_CPACK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/ZorInstallerCPack.cmake)

function(zor_add_installer)
  cmake_parse_arguments(PARSE_ARGV 0 arg ""
                        "NAME;VERSION;PUBLISHER;TARGET;COMPRESSION;ICON;OUTPUT;TARGET_NAME"
                        "FILES;DIRECTORIES;OPTIONS")
  foreach(required NAME VERSION PUBLISHER TARGET)
    if(NOT arg_${required})
      message(FATAL_ERROR "zor_add_installer needs ${required}")
    endif()
  endforeach()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "zor_add_installer: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${arg_TARGET})
    message(FATAL_ERROR "zor_add_installer: TARGET ${arg_TARGET} is no target")
  endif()
  if(NOT arg_OUTPUT)
    string(REGEX REPLACE "[ \t]" "" stem "${arg_NAME}")
    set(arg_OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${stem}-${arg_VERSION}-Setup.exe)
  endif()
  if(NOT arg_TARGET_NAME)
    set(arg_TARGET_NAME ${arg_TARGET}_installer)
  endif()

  set(command $<TARGET_FILE:ZorInstaller::zorpack> build -o ${arg_OUTPUT} --name ${arg_NAME}
              --version ${arg_VERSION} --publisher ${arg_PUBLISHER})
  set(depends ${arg_TARGET} $<TARGET_FILE:${arg_TARGET}> $<TARGET_FILE:ZorInstaller::zorpack>)
  if(arg_COMPRESSION)
    list(APPEND command --compression ${arg_COMPRESSION})
  endif()
  if(arg_ICON)
    get_filename_component(icon ${arg_ICON} ABSOLUTE)
    list(APPEND command --icon ${icon})
    list(APPEND depends ${icon})
  endif()
  list(APPEND command ${arg_OPTIONS} $<TARGET_FILE:${arg_TARGET}>)
  foreach(file IN LISTS arg_FILES)
    get_filename_component(path ${file} ABSOLUTE)
    list(APPEND command ${path})
    list(APPEND depends ${path})
  endforeach()
  foreach(directory IN LISTS arg_DIRECTORIES)
    # The trailing separator, when given, is kept: it says how the files are stored.
    get_filename_component(path ${directory} ABSOLUTE)
    if(directory MATCHES "[/\\\\]$")
      string(APPEND path "/")
    endif()
    list(APPEND command ${path})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS LIST_DIRECTORIES false ${path}/*)
    list(APPEND depends ${found})
  endforeach()

  add_custom_command(OUTPUT ${arg_OUTPUT} COMMAND ${command} DEPENDS ${depends}
                     COMMENT "Building the installer ${arg_OUTPUT}" VERBATIM)
  add_custom_target(${arg_TARGET_NAME} ALL DEPENDS ${arg_OUTPUT})
endfunction()
