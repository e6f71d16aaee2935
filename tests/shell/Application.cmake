# The application object on in-memory desktop services and a fake clock: the start-up order,
# first and later runs, ticks, wake, the shortcut, launch at login and the quit path.
lumatick_add_tests(shell_application_tests WIDGETS
    SOURCES shell/ApplicationTest.cpp
    LIBRARIES lumatick_shell lumatick_platform_fake)
