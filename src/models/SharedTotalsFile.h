#pragma once

#include "DailyScreenTime.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

// One computer's file in the shared folder: a name line, then the export's CSV. Days are read
// as calendar dates, never instants, so computers in other zones or with skewed clocks agree.
struct SharedTotalsFile {
    enum class Status { complete, partial, newerFormat, unreadable };
    static constexpr int formatVersion = 1;

    Status status = Status::unreadable;
    QString name;
    QMap<QDate, qint64> days;
    // Why the file was not read completely; empty when it was.
    QString problem;

    static QByteArray build(const QString& name, const QList<DailyScreenTime>& records);
    // Reads whole lines only: a sync engine may hand over a file still being written, and a
    // cut line such as "2026-12-07,12" must never pass for the day's total.
    static SharedTotalsFile parse(const QByteArray& contents);
};
