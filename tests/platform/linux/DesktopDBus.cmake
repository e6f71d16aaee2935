# GNOME's display configuration and the global shortcuts portal, faked on a private session bus.
lumatick_add_tests(linux_desktop_dbus_tests
    SOURCES
        platform/linux/FakeDesktopServices.cpp platform/linux/FakeDesktopServices.h
        platform/linux/FakeDisplayConfig.h
        platform/linux/FakeGlobalShortcutsPortal.cpp platform/linux/FakeGlobalShortcutsPortal.h
        platform/linux/FakeServiceBus.cpp platform/linux/FakeServiceBus.h
        platform/linux/GnomeDisplaySleepMonitorTest.cpp
        platform/linux/PortalGlobalHotKeyTest.cpp
    LIBRARIES lumatick_platform_linux)
