#pragma once

#include <array>

// The one list of user preference keys, with their types and defaults. Registered keys get
// their default through Preferences::registerDefaults(); unregistered keys read as the
// type's zero value until written.
namespace PreferenceKeys {

struct IntegerKey {
    const char* name;
    long long defaultValue;
    bool registered;
};

struct BooleanKey {
    const char* name;
    bool defaultValue;
};

struct DataKey {
    const char* name;
};

struct StringKey {
    const char* name;
};

inline constexpr IntegerKey greenThresholdHours{"greenThresholdHours", 3, true};
inline constexpr IntegerKey yellowThresholdHours{"yellowThresholdHours", 5, true};
inline constexpr IntegerKey idleTimeoutMinutes{"idleTimeoutMinutes", 5, true};
inline constexpr IntegerKey dailyGoalHours{"dailyGoalHours", 6, true};
inline constexpr IntegerKey dailyNotifHour{"dailyNotifHour", 22, true};
// Weekday in Gregorian numbering: 1 = Sunday ... 7 = Saturday.
inline constexpr IntegerKey weeklyNotifDay{"weeklyNotifDay", 1, true};
inline constexpr IntegerKey weeklyNotifHour{"weeklyNotifHour", 20, true};
inline constexpr IntegerKey breakReminderMinutes{"breakReminderMinutes", 60, true};
// Native key code of the pause shortcut; -1 means no shortcut.
inline constexpr IntegerKey shortcutKeyCode{"shortcutKeyCode", -1, true};
// Modifier bits: control 0x40000, option/Alt 0x80000, shift 0x20000, command/Super 0x100000.
inline constexpr IntegerKey shortcutModifiers{"shortcutModifiers", 0, false};
// Where the status item shows the time: 0 automatic (decided by the panel), 1 beside the icon
// (the label), 2 in the icon.
inline constexpr IntegerKey timePlacement{"timePlacement", 0, true};
// When a timed pause ends, in Unix seconds; absent (0) while no timed pause runs.
inline constexpr IntegerKey pauseEndsAt{"pauseEndsAt", 0, false};

inline constexpr BooleanKey idleTimeoutDisabled{"idleTimeoutDisabled", true};
inline constexpr BooleanKey showSeconds{"showSeconds", true};
inline constexpr BooleanKey launchAtLogin{"launchAtLogin", true};
inline constexpr BooleanKey dailyGoalEnabled{"dailyGoalEnabled", false};
inline constexpr BooleanKey dailyNotifEnabled{"dailyNotifEnabled", false};
inline constexpr BooleanKey weeklyNotifEnabled{"weeklyNotifEnabled", false};
inline constexpr BooleanKey onboardingShown{"onboardingShown", false};
inline constexpr BooleanKey breakReminderEnabled{"breakReminderEnabled", true};
inline constexpr BooleanKey menuBarIconOnly{"menuBarIconOnly", false};

inline constexpr StringKey shortcutKeyChar{"shortcutKeyChar"};
// Sharing totals with other computers: the synced folder (empty while sharing is off), this
// computer's name there, and the id that names its file (made once, kept across starts).
inline constexpr StringKey sharedTotalsFolder{"sharedTotalsFolder"};
inline constexpr StringKey sharedTotalsName{"sharedTotalsName"};
inline constexpr StringKey installationId{"installationId"};

// Custom tier colours: JSON array [red, green, blue, alpha] in sRGB; empty means the default.
inline constexpr DataKey tierGreenColor{"tierGreenColor"};
inline constexpr DataKey tierYellowColor{"tierYellowColor"};
inline constexpr DataKey tierRedColor{"tierRedColor"};

inline constexpr std::array integerKeys{greenThresholdHours, yellowThresholdHours, idleTimeoutMinutes,
                                        dailyGoalHours,      dailyNotifHour,       weeklyNotifDay,
                                        weeklyNotifHour,     breakReminderMinutes, shortcutKeyCode,
                                        shortcutModifiers,   timePlacement,        pauseEndsAt};

// Every boolean key is registered.
inline constexpr std::array booleanKeys{idleTimeoutDisabled, showSeconds,          launchAtLogin,
                                        dailyGoalEnabled,    dailyNotifEnabled,    weeklyNotifEnabled,
                                        onboardingShown,     breakReminderEnabled, menuBarIconOnly};

} // namespace PreferenceKeys
