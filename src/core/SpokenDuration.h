#pragma once

#include <QString>

// A duration in words for screen readers, with the units formatDuration shows: "6 minutes 16
// seconds" where the panel reads "6m 16s", "1 hour 0 minutes" for "1h 00m". Abbreviations such
// as "m" and "s" are spoken as letters, so the short form is never handed to a screen reader.
QString spokenDuration(qint64 seconds, bool showSeconds);

// "1 day", "17 days": a count with its unit, plural unless the count is one.
QString countedUnit(qint64 count, QLatin1String unit);
