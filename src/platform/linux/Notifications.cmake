# Desktop notifications: the notification server client, its calendar scheduler and the
# wall-clock timer the scheduler waits on.
target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FreedesktopNotificationCenter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FreedesktopNotificationCenter.h
    ${CMAKE_CURRENT_LIST_DIR}/NotificationScheduler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NotificationScheduler.h
    ${CMAKE_CURRENT_LIST_DIR}/WallClockTimer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WallClockTimer.h
)
