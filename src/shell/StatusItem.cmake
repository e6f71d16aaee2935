# The status item's look, drawn through StatusItemBackend (the platform supplies the backend).
target_sources(lumatick_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/StatusIconRenderer.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusIconRenderer.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusItemPresenter.cpp ${CMAKE_CURRENT_LIST_DIR}/StatusItemPresenter.h
    ${CMAKE_CURRENT_LIST_DIR}/StatusItemState.h
)
