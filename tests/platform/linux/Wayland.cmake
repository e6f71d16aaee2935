# The Wayland clients (idle notifications, display power) against fake compositors, each
# libwayland-server on its own thread.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LUMATICK_TEST_WAYLAND_SERVER REQUIRED IMPORTED_TARGET wayland-server)
find_package(Threads REQUIRED)

lumatick_add_tests(linux_wayland_tests
    SOURCES
        platform/linux/FakeCompositorThread.cpp platform/linux/FakeCompositorThread.h
        platform/linux/FakeIdleCompositor.cpp platform/linux/FakeIdleCompositor.h
        platform/linux/FakePowerCompositor.cpp platform/linux/FakePowerCompositor.h
        platform/linux/ScopedEnv.cpp platform/linux/ScopedEnv.h
        platform/linux/WaitUntil.h
        platform/linux/WaylandDisplaySleepMonitorTest.cpp
        platform/linux/WaylandIdleTimeSourceTest.cpp
        platform/linux/WaylandTest.h
    LIBRARIES lumatick_platform_linux)
target_link_libraries(linux_wayland_tests PRIVATE lumatick_wayland_protocols PkgConfig::LUMATICK_TEST_WAYLAND_SERVER Threads::Threads)
