# X11 services over our own xcb connection (idle time, display sleep, global shortcut) and
# launch at login through an XDG autostart entry. Key names for the shortcuts portal come from
# the X server's keyboard map too (Xwayland in a Wayland session).
target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/X11DisplaySleepMonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/X11DisplaySleepMonitor.h
    ${CMAKE_CURRENT_LIST_DIR}/X11GlobalHotKey.cpp ${CMAKE_CURRENT_LIST_DIR}/X11GlobalHotKey.h
    ${CMAKE_CURRENT_LIST_DIR}/X11Logging.cpp ${CMAKE_CURRENT_LIST_DIR}/X11Logging.h
    ${CMAKE_CURRENT_LIST_DIR}/XcbConnection.cpp ${CMAKE_CURRENT_LIST_DIR}/XcbConnection.h
    ${CMAKE_CURRENT_LIST_DIR}/XcbIdleTimeSource.cpp ${CMAKE_CURRENT_LIST_DIR}/XcbIdleTimeSource.h
    ${CMAKE_CURRENT_LIST_DIR}/XcbKeyNames.cpp ${CMAKE_CURRENT_LIST_DIR}/XcbKeyNames.h
    ${CMAKE_CURRENT_LIST_DIR}/XcbReply.h
    ${CMAKE_CURRENT_LIST_DIR}/XdgAutostartLoginItem.cpp ${CMAKE_CURRENT_LIST_DIR}/XdgAutostartLoginItem.h
)
