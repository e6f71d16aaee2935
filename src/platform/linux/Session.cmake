# Machine sleep, screen lock and idle time from logind, the screen savers and Mutter, and
# time-zone changes from timedated and the zone file.
target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/IdleQueryTimeouts.h
    ${CMAKE_CURRENT_LIST_DIR}/IdleTimeSourceSelector.cpp ${CMAKE_CURRENT_LIST_DIR}/IdleTimeSourceSelector.h
    ${CMAKE_CURRENT_LIST_DIR}/LogindIdleTimeSource.cpp ${CMAKE_CURRENT_LIST_DIR}/LogindIdleTimeSource.h
    ${CMAKE_CURRENT_LIST_DIR}/LogindLockMonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/LogindLockMonitor.h
    ${CMAKE_CURRENT_LIST_DIR}/LogindSession.cpp ${CMAKE_CURRENT_LIST_DIR}/LogindSession.h
    ${CMAKE_CURRENT_LIST_DIR}/LogindSleepMonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/LogindSleepMonitor.h
    ${CMAKE_CURRENT_LIST_DIR}/MutterIdleTimeSource.cpp ${CMAKE_CURRENT_LIST_DIR}/MutterIdleTimeSource.h
    ${CMAKE_CURRENT_LIST_DIR}/ScreenSaverIdleTimeSource.cpp ${CMAKE_CURRENT_LIST_DIR}/ScreenSaverIdleTimeSource.h
    ${CMAKE_CURRENT_LIST_DIR}/SessionLogging.cpp ${CMAKE_CURRENT_LIST_DIR}/SessionLogging.h
    ${CMAKE_CURRENT_LIST_DIR}/TimeZoneMonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/TimeZoneMonitor.h
)
