# logind, the screen savers and Mutter, each faked on private session and system buses.
lumatick_add_tests(linux_session_tests
    SOURCES
        platform/linux/FakeDesktop.cpp platform/linux/FakeDesktop.h
        platform/linux/FakeDesktopServices.cpp platform/linux/FakeDesktopServices.h
        platform/linux/IdleTimeSourceTest.cpp
        platform/linux/LogindLockMonitorTest.cpp
        platform/linux/LogindSleepMonitorTest.cpp
    LIBRARIES lumatick_platform_linux)
