#pragma once

#include <QString>

// The stretch of screen time in words: "45 minutes", "1 hour", "1 hour 30 min", "2 hours 5 min".
QString breakDurationWording(qint64 minutes);
QString breakReminderBody(qint64 minutes);
