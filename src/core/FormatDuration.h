#pragma once

#include <QString>

// Elapsed time as the panel and the reports show it: "4h 37m 12s", or "4h 37m" without seconds.
// The leading number is never padded and hours never roll over into days; a remainder below
// the smallest unit shown is dropped, not rounded, so the text never runs ahead of the count.
QString formatDuration(qint64 seconds, bool showSeconds);
