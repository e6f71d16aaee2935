# The application object: owns the long-lived objects and runs start-up and shutdown. It is
# where the shell meets the views and the desktop services, so only it links them.
target_sources(lumatick_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Application.cpp ${CMAKE_CURRENT_LIST_DIR}/Application.h
    ${CMAKE_CURRENT_LIST_DIR}/PanelToggle.cpp ${CMAKE_CURRENT_LIST_DIR}/PanelToggle.h
    ${CMAKE_CURRENT_LIST_DIR}/ShortcutKeyMonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/ShortcutKeyMonitor.h
    ${CMAKE_CURRENT_LIST_DIR}/TotalsSharing.cpp ${CMAKE_CURRENT_LIST_DIR}/TotalsSharing.h
)
target_link_libraries(lumatick_shell PUBLIC lumatick_views Qt6::Widgets)
