# The application's windows: settings, history and the onboarding, made on first use.
target_sources(lumatick_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WindowCoordinator.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowCoordinator.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowIcon.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowIcon.h
)
target_link_libraries(lumatick_shell PUBLIC lumatick_views)
