#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

// One bar of the history charts. Every load makes entries with fresh ids, so a chart can tell
// a rebuilt list from the one it is already showing.
struct BarChartEntry {
    QString id;
    QString label;
    qint64 seconds = 0;
    QDateTime date;
};

Q_DECLARE_METATYPE(BarChartEntry)
