# The stand-in panel (StatusNotifierWatcher and host), shared by the tests and the footprint
# benchmark, so both meet the same panel.
if(NOT TARGET lumatick_fake_status_notifier_watcher)
    add_library(lumatick_fake_status_notifier_watcher STATIC
        ${CMAKE_CURRENT_LIST_DIR}/FakeStatusNotifierWatcher.cpp ${CMAKE_CURRENT_LIST_DIR}/FakeStatusNotifierWatcher.h)
    target_include_directories(lumatick_fake_status_notifier_watcher PUBLIC ${CMAKE_CURRENT_LIST_DIR})
    target_link_libraries(lumatick_fake_status_notifier_watcher PUBLIC Qt6::DBus)
    lumatick_target_defaults(lumatick_fake_status_notifier_watcher)
endif()
