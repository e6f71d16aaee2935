# Software updates against a feed server the test runs on the loopback interface, and the
# message boxes that show their outcome.
lumatick_add_tests(shell_updater_tests WIDGETS
    SOURCES shell/UpdaterControllerTest.cpp shell/FeedServer.cpp shell/FeedServer.h
    LIBRARIES lumatick_shell lumatick_platform_fake Qt6::Network)
target_include_directories(shell_updater_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/linux)
