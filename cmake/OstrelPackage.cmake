include(CMakePackageConfigHelpers)

set(OSTREL_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ostrel)

install(
  EXPORT ostrelTargets
  NAMESPACE ostrel::
  DESTINATION ${OSTREL_CMAKE_INSTALL_DIR})

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/ostrelConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/ostrelConfig.cmake
  INSTALL_DESTINATION ${OSTREL_CMAKE_INSTALL_DIR})
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/ostrelConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ostrelConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/ostrelConfigVersion.cmake
        DESTINATION ${OSTREL_CMAKE_INSTALL_DIR})
