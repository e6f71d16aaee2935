# The settings window's content: the tab bar, the settings form with its sections, the About
# page and the page of more ways to use Lumatick.
target_sources(lumatick_views PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AboutPage.cpp ${CMAKE_CURRENT_LIST_DIR}/AboutPage.h
    ${CMAKE_CURRENT_LIST_DIR}/BreakReminderSection.cpp ${CMAKE_CURRENT_LIST_DIR}/BreakReminderSection.h
    ${CMAKE_CURRENT_LIST_DIR}/ColorWell.cpp ${CMAKE_CURRENT_LIST_DIR}/ColorWell.h
    ${CMAKE_CURRENT_LIST_DIR}/DailyGoalSection.cpp ${CMAKE_CURRENT_LIST_DIR}/DailyGoalSection.h
    ${CMAKE_CURRENT_LIST_DIR}/DisplaySection.cpp ${CMAKE_CURRENT_LIST_DIR}/DisplaySection.h
    ${CMAKE_CURRENT_LIST_DIR}/GeneralSection.cpp ${CMAKE_CURRENT_LIST_DIR}/GeneralSection.h
    ${CMAKE_CURRENT_LIST_DIR}/MoreAppsPage.cpp ${CMAKE_CURRENT_LIST_DIR}/MoreAppsPage.h
    ${CMAKE_CURRENT_LIST_DIR}/NotificationSection.cpp ${CMAKE_CURRENT_LIST_DIR}/NotificationSection.h
    ${CMAKE_CURRENT_LIST_DIR}/NotificationSettingsLauncher.cpp ${CMAKE_CURRENT_LIST_DIR}/NotificationSettingsLauncher.h
    ${CMAKE_CURRENT_LIST_DIR}/ScheduleLabels.cpp ${CMAKE_CURRENT_LIST_DIR}/ScheduleLabels.h
    ${CMAKE_CURRENT_LIST_DIR}/SettingsForm.cpp ${CMAKE_CURRENT_LIST_DIR}/SettingsForm.h
    ${CMAKE_CURRENT_LIST_DIR}/SettingsSection.cpp ${CMAKE_CURRENT_LIST_DIR}/SettingsSection.h
    ${CMAKE_CURRENT_LIST_DIR}/SettingsSymbol.cpp ${CMAKE_CURRENT_LIST_DIR}/SettingsSymbol.h
    ${CMAKE_CURRENT_LIST_DIR}/SettingsTabButton.cpp ${CMAKE_CURRENT_LIST_DIR}/SettingsTabButton.h
    ${CMAKE_CURRENT_LIST_DIR}/SettingsDesktop.h
    ${CMAKE_CURRENT_LIST_DIR}/SettingsView.cpp ${CMAKE_CURRENT_LIST_DIR}/SettingsView.h
    ${CMAKE_CURRENT_LIST_DIR}/ShortcutRecorder.cpp ${CMAKE_CURRENT_LIST_DIR}/ShortcutRecorder.h
    ${CMAKE_CURRENT_LIST_DIR}/ShortcutSection.cpp ${CMAKE_CURRENT_LIST_DIR}/ShortcutSection.h
    ${CMAKE_CURRENT_LIST_DIR}/ThresholdSection.cpp ${CMAKE_CURRENT_LIST_DIR}/ThresholdSection.h
    ${CMAKE_CURRENT_LIST_DIR}/TrackingSection.cpp ${CMAKE_CURRENT_LIST_DIR}/TrackingSection.h
)
target_link_libraries(lumatick_views PUBLIC lumatick_notifications lumatick_shell_api)
