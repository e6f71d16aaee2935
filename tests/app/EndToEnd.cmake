# The real binary started as a user would, against private buses and sandboxed folders: what
# it keeps in the store when it is terminated, and how a second start behaves.
lumatick_add_tests(app_end_to_end_tests
    SOURCES app/ApplicationEndToEndTest.cpp
    LIBRARIES lumatick_core lumatick_shell_api SQLite::SQLite3)
target_compile_definitions(app_end_to_end_tests PRIVATE LUMATICK_BINARY="$<TARGET_FILE:lumatick>")
add_dependencies(app_end_to_end_tests lumatick)
