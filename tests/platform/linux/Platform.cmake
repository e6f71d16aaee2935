# The Linux desktop services against real peers each test starts: private buses with
# python-dbusmock services (logind, timedated, the notification server, screen savers, Mutter,
# the shortcuts portal), an Xvfb driven by xdotool, and a fake Wayland compositor.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LUMATICK_TEST_XCB REQUIRED IMPORTED_TARGET xcb xcb-keysyms)
pkg_check_modules(LUMATICK_TEST_WAYLAND_SERVER REQUIRED IMPORTED_TARGET wayland-server)
find_package(Threads REQUIRED)

lumatick_add_tests(linux_desktop_tests
    SOURCES
        platform/linux/LinuxDesktopServicesTest.cpp
        platform/linux/NotificationsTest.cpp
        platform/linux/PortalGlobalHotKeyTest.cpp
        platform/linux/SessionServicesTest.cpp
        platform/linux/X11ServicesTest.cpp
        platform/linux/XdgAutostartLoginItemTest.cpp
        support/XvfbServer.cpp support/XvfbServer.h
    LIBRARIES lumatick_platform_linux lumatick_fake_status_notifier_watcher PkgConfig::LUMATICK_TEST_XCB)
target_compile_definitions(linux_desktop_tests PRIVATE
    LUMATICK_PORTAL_TEMPLATE="${CMAKE_CURRENT_SOURCE_DIR}/platform/linux/GlobalShortcutsPortal.py")

lumatick_add_tests(linux_wayland_tests
    SOURCES
        platform/linux/FakeIdleCompositor.cpp platform/linux/FakeIdleCompositor.h
        platform/linux/WaylandIdleTimeSourceTest.cpp
    LIBRARIES lumatick_platform_linux lumatick_wayland_protocols PkgConfig::LUMATICK_TEST_WAYLAND_SERVER
        Threads::Threads)
