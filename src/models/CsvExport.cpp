#include "CsvExport.h"

#include "CsvFileChooser.h"
#include "FormatDuration.h"
#include "LocalDateConverter.h"
#include "Preferences.h"
#include "RecordStore.h"

#include <QMap>
#include <QRegularExpression>
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

QString quotedField(const QString& field)
{
    static const QRegularExpression special(u"[,\"\r\n]"_s);
    if (!field.contains(special))
        return field;
    return u'"' + QString(field).replace(u'"', u"\"\""_s) + u'"';
}

QList<DailyScreenTime> sortedByDate(QList<DailyScreenTime> records)
{
    std::stable_sort(records.begin(), records.end(), [](const DailyScreenTime& a, const DailyScreenTime& b) {
        return a.dateSecondsSinceEpoch() < b.dateSecondsSinceEpoch();
    });
    return records;
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
    QStringList lines{csvHeader()};
    const LocalDateConverter converter;
    for (const DailyScreenTime& record : sortedByDate(records))
        lines.append(csvLine(record, showSeconds, converter));
    return (lines.join(u'\n') + u'\n').toUtf8();
}

QString csvComputersHeader()
{
    return csvHeader() + u",computer"_s;
}

QByteArray buildComputersCSV(const QString& ownName, const QList<DailyScreenTime>& records,
                             const QList<SharedTotalsFolder::Computer>& computers, bool showSeconds)
{
    // Keyed by day, then by the order the lines take within it: this computer's first.
    QMap<QDate, QStringList> days;
    const LocalDateConverter converter;
    for (const DailyScreenTime& record : sortedByDate(records)) {
        const QDate day = converter.dateOf(record.dateSecondsSinceEpoch());
        days[day].append(csvLine(record, showSeconds, converter) + u',' + quotedField(ownName));
    }
    for (const SharedTotalsFolder::Computer& computer : computers) {
        for (auto day = computer.days.cbegin(); day != computer.days.cend(); ++day)
            days[day.key()].append(
                QStringList{day.key().toString(u"yyyy-MM-dd"_s), QString::number(day.value()),
                            formatDuration(day.value(), showSeconds), QString(), quotedField(computer.name)}
                    .join(u','));
    }
    QStringList lines{csvComputersHeader()};
    for (const QStringList& dayLines : std::as_const(days))
        lines.append(dayLines);
    return (lines.join(u'\n') + u'\n').toUtf8();
}

std::optional<QString> exportCSV(RecordStore* store, const Preferences& preferences, CsvFileChooser& chooser,
                                 const SharedTotalsFolder* computers)
{
    if (!store)
        return u"The data store is not open."_s;
    QString error;
    const std::optional<QList<DailyScreenTime>> records =
        store->tryFetch(RecordQuery().sortedBy(RecordQuery::Order::Ascending), error);
    if (!records)
        return error;
    const bool showSeconds = preferences.value(PreferenceKeys::showSeconds);
    const QByteArray text =
        computers ? buildComputersCSV(computers->name(), *records, computers->computers(), showSeconds)
                  : buildCSV(*records, showSeconds);
    const std::optional<QString> path = chooser.chooseSaveLocation(csvSuggestedFileName());
    if (path && !path->isEmpty())
        writeAtomically(*path, text);
    return std::nullopt;
}
