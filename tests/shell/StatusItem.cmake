# The status item: its look against a recording backend, and our StatusNotifierItem against a
# fake watcher on a private session bus.
lumatick_add_tests(shell_status_item_tests WIDGETS
    SOURCES shell/StatusItemPresenterTest.cpp shell/FallbackStatusItemTest.cpp
            platform/linux/StatusNotifierItemTest.cpp
    LIBRARIES lumatick_shell lumatick_platform_linux lumatick_platform_fake lumatick_fake_status_notifier_watcher)
target_compile_definitions(shell_status_item_tests PRIVATE
    LUMATICK_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
