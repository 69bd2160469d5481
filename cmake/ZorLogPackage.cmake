# The logging framework as an installed CMake package "ZorLog":
#
#   cmake --install build/native --prefix /opt/zorlog
#
#   <prefix>/include/zor/{log,xml,common}/**.h   included as in this tree: "log/log_factory.h",
#                                                "log/appenders/file_appender.h"
#   <prefix>/lib/libzor{log,xml,common}.a        (the same names from MinGW)
#   <prefix>/lib/cmake/ZorLog/                   ZorLogConfig.cmake, its version file, the targets
#   <prefix>/bin/zorlog-check                    checks a configuration file (tools/zorlog-check)
#
# A client says find_package(ZorLog CONFIG REQUIRED) and links zor::log, the
# name the in-tree alias has, so its CMake reads the same inside and outside
# this tree. Only the files carry the project's prefix (zor_add_library in
# cmake/ZorHelpers.cmake): a plain liblog.a would clash with other libraries
# installed into the same prefix. Beside the libraries goes zorlog-check, for
# the developers who write configuration files. The other install rules are
# the builder's package (cmake/ZorInstallerPackage.cmake); no other program,
# test or example is installed.

include(CMakePackageConfigHelpers)

set(ZOR_LOG_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZorLog)

install(TARGETS common xml log
        EXPORT ZorLogTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS zorlog-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT ZorLogTargets
        NAMESPACE zor::
        DESTINATION ${ZOR_LOG_PACKAGE_DIR})

# Every header of the three libraries, except the ones a client can never
# include: windows_api.h and the *_posix.h helpers belong to the platform
# implementation files, and outside the Windows build the Windows-only
# targets (the edit-window appender, the log box) are not in the library.
set(zor_private_headers PATTERN "windows_api.h" EXCLUDE PATTERN "*_posix.h" EXCLUDE)
if(NOT WIN32)
  list(APPEND zor_private_headers PATTERN "log_box.h" EXCLUDE PATTERN "edit_window_appender.h" EXCLUDE)
endif()
foreach(dir common xml log)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zor/${dir}
          FILES_MATCHING PATTERN "*.h" ${zor_private_headers})
endforeach()

# The package was built for one platform: its dependencies are decided here,
# not by whatever system the client's configuration runs on. zor::log links
# Threads::Threads outside Windows.
if(WIN32)
  set(ZOR_LOG_DEPENDENCIES "")
else()
  set(ZOR_LOG_DEPENDENCIES "find_dependency(Threads)\n")
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZorLogConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/ZorLog/ZorLogConfig.cmake
                              INSTALL_DESTINATION ${ZOR_LOG_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ZorLog/ZorLogConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION}
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ZorLog/ZorLogConfig.cmake ${CMAKE_BINARY_DIR}/ZorLog/ZorLogConfigVersion.cmake
        DESTINATION ${ZOR_LOG_PACKAGE_DIR})
