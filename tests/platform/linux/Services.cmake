# The factory that picks each desktop service, against private buses and an Xvfb.
lumatick_add_tests(linux_services_tests
    SOURCES
        platform/linux/FakeDesktop.cpp platform/linux/FakeDesktop.h
        platform/linux/FakeDesktopServices.cpp platform/linux/FakeDesktopServices.h
        platform/linux/LinuxDesktopServicesTest.cpp
        support/XvfbServer.cpp support/XvfbServer.h
    LIBRARIES lumatick_platform_linux)
