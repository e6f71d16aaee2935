#include "SpokenDuration.h"

#include <QStringList>

#include <algorithm>

QString countedUnit(qint64 count, QLatin1String unit)
{
    QString text = QString::number(count) + QLatin1Char(' ') + unit;
    if (count != 1)
        text += QLatin1Char('s');
    return text;
}

QString spokenDuration(qint64 seconds, bool showSeconds)
{
    // Clamped as formatDuration clamps, so both forms always name the same time.
    const qint64 total = std::max<qint64>(seconds, 0);
    const qint64 hours = total / 3600;
    const qint64 minutes = (total - hours * 3600) / 60;
    QStringList parts;
    if (hours > 0)
        parts << countedUnit(hours, QLatin1String("hour"));
    if (hours > 0 || minutes > 0 || !showSeconds)
        parts << countedUnit(minutes, QLatin1String("minute"));
    if (showSeconds)
        parts << countedUnit(total % 60, QLatin1String("second"));
    return parts.join(QLatin1Char(' '));
}
