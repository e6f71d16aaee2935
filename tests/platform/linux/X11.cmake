# X11 services against a private Xvfb (driven by xdotool), and the XDG autostart entry.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LUMATICK_TEST_XCB REQUIRED IMPORTED_TARGET xcb xcb-keysyms)

lumatick_add_tests(linux_x11_tests
    SOURCES
        support/XvfbServer.cpp support/XvfbServer.h
        platform/linux/WaitUntil.h
        platform/linux/X11Test.h
        platform/linux/X11DisplaySleepMonitorTest.cpp
        platform/linux/X11GlobalHotKeyTest.cpp
        platform/linux/XcbIdleTimeSourceTest.cpp
        platform/linux/XdgAutostartLoginItemTest.cpp
    LIBRARIES lumatick_platform_linux)
target_link_libraries(linux_x11_tests PRIVATE PkgConfig::LUMATICK_TEST_XCB)
