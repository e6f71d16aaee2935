#pragma once

#include <QString>

#include <optional>

// When a scheduled notification fires, matched against the wall clock in the user's current
// time zone, so a summary set for 22:00 stays at 22:00 across DST and travel.
struct CalendarTrigger {
    // Gregorian numbering, 1 = Sunday ... 7 = Saturday; none means every day.
    std::optional<int> weekday;
    int hour = 0;
    int minute = 0;
    bool repeats = true;

    bool operator==(const CalendarTrigger&) const = default;
};

// One local notification. Requests are identified by `identifier`: adding one under an
// identifier already pending or shown replaces the earlier request.
struct NotificationRequest {
    QString identifier;
    QString title;
    QString body;
    bool defaultSound = true;
    // Without a trigger the notification is delivered at once.
    std::optional<CalendarTrigger> trigger;

    bool operator==(const NotificationRequest&) const = default;
};

namespace NotificationIdentifiers {
inline const QString dailySummary = QStringLiteral("com.lumatick.daily");
inline const QString weeklySummary = QStringLiteral("com.lumatick.weekly");
inline const QString breakReminder = QStringLiteral("com.lumatick.breakReminder");
inline const QString pauseEnded = QStringLiteral("com.lumatick.pauseEnded");
} // namespace NotificationIdentifiers

// Every notification Lumatick posts carries the application's name as its title.
inline const QString notificationTitle = QStringLiteral("Lumatick");
