# The status item as our own StatusNotifierItem with the Ayatana label and a dbusmenu menu. Its
# per-second label goes out through libdbus itself (the library under Qt D-Bus).
pkg_check_modules(DBUS1 REQUIRED IMPORTED_TARGET dbus-1)
target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DBusMenuItemProperties.cpp ${CMAKE_CURRENT_LIST_DIR}/DBusMenuItemProperties.h
    ${CMAKE_CURRENT_LIST_DIR}/DBusMenuLayoutItem.cpp ${CMAKE_CURRENT_LIST_DIR}/DBusMenuLayoutItem.h
    ${CMAKE_CURRENT_LIST_DIR}/DirectSignalSender.cpp ${CMAKE_CURRENT_LIST_DIR}/DirectSignalSender.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusItemLogging.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusItemLogging.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierHost.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierHost.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierItem.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierItem.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierItemAdaptor.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierItemAdaptor.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierMenu.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierMenu.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierPixmap.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierPixmap.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierToolTip.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusNotifierToolTip.h
)
target_link_libraries(lumatick_platform_linux PRIVATE PkgConfig::DBUS1)
