# The real binary started as a user would, against private buses and sandboxed folders: what
# it keeps in the store when it is terminated or killed, how a second start behaves, and, on a
# private Xvfb with a stand-in panel watcher, what its status item shows.
lumatick_add_tests(app_end_to_end_tests
    SOURCES
        app/EndToEndTest.cpp app/EndToEndTest.h
        app/PanelEndToEndTest.cpp
        support/XvfbServer.cpp support/XvfbServer.h
    LIBRARIES lumatick_core lumatick_shell_api lumatick_platform_linux lumatick_fake_status_notifier_watcher
        SQLite::SQLite3)
target_compile_definitions(app_end_to_end_tests PRIVATE LUMATICK_BINARY="$<TARGET_FILE:lumatick>")
add_dependencies(app_end_to_end_tests lumatick)
