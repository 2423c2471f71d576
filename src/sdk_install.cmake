# The SDK: `cmake --install` puts the shared library, the headers under include/datatable/ and a
# CMake package DataTable exporting DataTable::datatable, so that a host builds with
#   find_package(DataTable CONFIG REQUIRED)
#   target_link_libraries(host PRIVATE DataTable::datatable)
# Everything here is the component "sdk" (`cmake --install <build> --component sdk`).

include(CMakePackageConfigHelpers)

set(DT_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/DataTable)

install(TARGETS datatable EXPORT DataTableTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sdk)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/datatable
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT sdk
        FILES_MATCHING PATTERN "*.h")
install(EXPORT DataTableTargets NAMESPACE DataTable:: DESTINATION ${DT_PACKAGE_DIR}
        COMPONENT sdk)

configure_package_config_file(${CMAKE_CURRENT_SOURCE_DIR}/DataTableConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/DataTableConfig.cmake
  INSTALL_DESTINATION ${DT_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/DataTableConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/DataTableConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/DataTableConfigVersion.cmake
        DESTINATION ${DT_PACKAGE_DIR} COMPONENT sdk)
