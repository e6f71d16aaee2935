# The assembled application on in-memory desktop services, a private session bus and a fake
# clock, driven through the events of a day; the real command line talks to it.
lumatick_add_tests(shell_application_tests WIDGETS
    SOURCES shell/ApplicationTest.cpp
    LIBRARIES lumatick_shell lumatick_platform_fake)
target_compile_definitions(shell_application_tests PRIVATE LUMATICK_BINARY="$<TARGET_FILE:lumatick>")
add_dependencies(shell_application_tests lumatick)
