# The status item's look, drawn through StatusItemBackend (the platform supplies the backend),
# and the plain tray icon that stands in where no StatusNotifierItem host exists.
target_sources(lumatick_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FallbackStatusItem.cpp ${CMAKE_CURRENT_LIST_DIR}/FallbackStatusItem.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusIconRenderer.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusIconRenderer.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusItemPresenter.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusItemPresenter.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusItemState.h
    ${CMAKE_CURRENT_LIST_DIR}/TrayIconStatusItem.cpp ${CMAKE_CURRENT_LIST_DIR}/TrayIconStatusItem.h
)
target_link_libraries(lumatick_shell PUBLIC Qt6::Widgets)
