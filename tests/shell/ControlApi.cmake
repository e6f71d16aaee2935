# The control object is tested in the application's scenarios; the command-line tests run one
# in the test process for the binary to talk to.
target_link_libraries(app_tests PRIVATE lumatick_shell)
