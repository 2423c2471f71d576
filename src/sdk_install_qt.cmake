# The Qt part of the SDK: DataTable::datatable_qt in its own export set, so that the package's
# config loads it only when Qt 6 is found (a host of DataTable::datatable alone needs no Qt).

install(TARGETS datatable_qt EXPORT DataTableQtTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sdk)
install(EXPORT DataTableQtTargets NAMESPACE DataTable:: DESTINATION ${DT_PACKAGE_DIR}
        COMPONENT sdk)
