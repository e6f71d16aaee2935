lumatick_add_tests(shell_control_tests
    SOURCES shell/ControlServiceTest.cpp
    LIBRARIES lumatick_shell)
# The command-line tests run a control object in the test process for the binary to talk to.
target_link_libraries(app_tests PRIVATE lumatick_shell)
