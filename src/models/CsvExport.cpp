#include "CsvExport.h"

#include "CsvFileChooser.h"
#include "FormatDuration.h"
#include "LocalDateConverter.h"
#include "Preferences.h"
#include "RecordStore.h"

#include <QSaveFile>
#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString csvLine(const DailyScreenTime& record, bool showSeconds, const LocalDateConverter& converter)
{
    // The record's date is converted to the user's current zone, so the day written is the
    // day the user sees in the history window.
    return QStringList{converter.dateOf(record.dateSecondsSinceEpoch()).toString(u"yyyy-MM-dd"_s),
                       QString::number(record.totalSeconds()),
                       formatDuration(record.totalSeconds(), showSeconds),
                       record.goalMet() ? u"true"_s : u"false"_s}
        .join(u',');
}

void writeAtomically(const QString& path, const QByteArray& contents)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    if (file.write(contents) != contents.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

} // namespace

QString csvSuggestedFileName()
{
    return u"lumatick-export.csv"_s;
}

QString csvHeader()
{
    return u"date,total_seconds,total_formatted,goal_met"_s;
}

QByteArray buildCSV(const QList<DailyScreenTime>& records, bool showSeconds)
{
    QList<DailyScreenTime> sorted = records;
    std::stable_sort(sorted.begin(), sorted.end(), [](const DailyScreenTime& a, const DailyScreenTime& b) {
        return a.dateSecondsSinceEpoch() < b.dateSecondsSinceEpoch();
    });
    QStringList lines{csvHeader()};
    const LocalDateConverter converter;
    for (const DailyScreenTime& record : std::as_const(sorted))
        lines.append(csvLine(record, showSeconds, converter));
    return (lines.join(u'\n') + u'\n').toUtf8();
}

std::optional<QString> exportCSV(RecordStore* store, const Preferences& preferences, CsvFileChooser& chooser)
{
    if (!store)
        return u"The data store is not open."_s;
    QString error;
    const std::optional<QList<DailyScreenTime>> records =
        store->tryFetch(RecordQuery().sortedBy(RecordQuery::Order::Ascending), error);
    if (!records)
        return error;
    const QByteArray text = buildCSV(*records, preferences.value(PreferenceKeys::showSeconds));
    const std::optional<QString> path = chooser.chooseSaveLocation(csvSuggestedFileName());
    if (path && !path->isEmpty())
        writeAtomically(*path, text);
    return std::nullopt;
}
