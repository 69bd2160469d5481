# The builder as an installed CMake package "ZorInstaller", for projects that
# make their installers in their own build:
#
#   cmake --install build/native --prefix /opt/zorinstaller
#
#   <prefix>/bin/zorpack                          the builder, its extractor image inside
#   <prefix>/lib/cmake/ZorInstaller/              ZorInstallerConfig.cmake, its version file,
#                                                 ZorInstallerFunctions.cmake (zor_add_installer),
#                                                 ZorInstallerCPack.cmake (the CPack generator)
#
# A client says find_package(ZorInstaller CONFIG REQUIRED): zorpack is the
# imported executable ZorInstaller::zorpack, and zor_add_installer and
# ZorInstaller_CPACK_SCRIPT are defined (cmake/ZorInstallerFunctions.cmake).
# zorpack runs on the machine that builds, so a cross build of a Windows
# application names the package of the native build (ZorInstaller_DIR).
include(CMakePackageConfigHelpers)

set(ZOR_INSTALLER_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZorInstaller)

install(TARGETS zorpack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZorInstallerConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/ZorInstaller/ZorInstallerConfig.cmake
                              INSTALL_DESTINATION ${ZOR_INSTALLER_PACKAGE_DIR}
                              PATH_VARS CMAKE_INSTALL_BINDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ZorInstaller/ZorInstallerConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION}
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ZorInstaller/ZorInstallerConfig.cmake
              ${CMAKE_BINARY_DIR}/ZorInstaller/ZorInstallerConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/ZorInstallerFunctions.cmake
              ${PROJECT_SOURCE_DIR}/cmake/ZorInstallerCPack.cmake
        DESTINATION ${ZOR_INSTALLER_PACKAGE_DIR})
