# Desktop services reached over the session bus: display sleep from GNOME's display
# configuration, and the pause shortcut through the global shortcuts portal.
target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DesktopDBusLogging.cpp ${CMAKE_CURRENT_LIST_DIR}/DesktopDBusLogging.h
    ${CMAKE_CURRENT_LIST_DIR}/GnomeDisplaySleepMonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/GnomeDisplaySleepMonitor.h
    ${CMAKE_CURRENT_LIST_DIR}/PortalGlobalHotKey.cpp ${CMAKE_CURRENT_LIST_DIR}/PortalGlobalHotKey.h
    ${CMAKE_CURRENT_LIST_DIR}/PortalShortcut.cpp ${CMAKE_CURRENT_LIST_DIR}/PortalShortcut.h
)
