lumatick_add_tests(linux_notifications_tests
    SOURCES
        platform/linux/FreedesktopNotificationCenterTest.cpp
        platform/linux/NotificationSchedulerTest.cpp
    LIBRARIES lumatick_platform_linux)
