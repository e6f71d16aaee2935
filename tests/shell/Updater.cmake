# Software updates against a feed server the test runs on the loopback interface.
lumatick_add_tests(shell_updater_tests
    SOURCES shell/UpdaterControllerTest.cpp shell/FeedServer.cpp shell/FeedServer.h
    LIBRARIES lumatick_shell lumatick_platform_fake Qt6::Network)
target_include_directories(shell_updater_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/linux)
# The message boxes the application shows, checked and rendered for a person to look at.
lumatick_add_tests(shell_update_alerts_tests WIDGETS
    SOURCES shell/MessageBoxUpdateAlertsTest.cpp
    LIBRARIES lumatick_shell)
target_compile_definitions(shell_update_alerts_tests PRIVATE
    LUMATICK_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
