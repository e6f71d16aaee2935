#include "CsvImport.h"

#include "CsvExport.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

struct LineResult {
    std::optional<DailyScreenTime> record;
    QString error;
};

LineResult parseLine(const QString& line)
{
    static const QRegularExpression datePattern(u"^\\d{4}-\\d{2}-\\d{2}$"_s);
    static const QRegularExpression totalPattern(u"^\\d{1,18}$"_s);
    const QStringList fields = line.split(u',');
    if (fields.size() != 4)
        return {std::nullopt,
                u"expected 4 fields (date,total_seconds,total_formatted,goal_met), found %1"_s.arg(
                    fields.size())};
    const QDate date = QDate::fromString(fields[0], u"yyyy-MM-dd"_s);
    if (!datePattern.match(fields[0]).hasMatch() || !date.isValid())
        return {std::nullopt, u"\"%1\" is not a date of the form YYYY-MM-DD"_s.arg(fields[0])};
    if (!totalPattern.match(fields[1]).hasMatch())
        return {std::nullopt, u"\"%1\" is not a whole number of seconds"_s.arg(fields[1])};
    if (fields[3] != u"true" && fields[3] != u"false")
        return {std::nullopt, u"goal_met must be true or false, not \"%1\""_s.arg(fields[3])};
    return {DailyScreenTime(date.startOfDay(), fields[1].toLongLong(), fields[3] == u"true"), {}};
}

CsvImport failure(int line, const QString& message)
{
    CsvImport result;
    result.errorLine = line;
    result.errorMessage = message;
    return result;
}

} // namespace

CsvImport CsvImport::parse(const QByteArray& contents)
{
    QString text = QString::fromUtf8(contents);
    // Spreadsheet programs add a byte-order mark and CRLF line endings; both are harmless.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(u'\n');
    if (text.trimmed().isEmpty())
        return failure(0, u"the file is empty; expected the header \"%1\""_s.arg(csvHeader()));
    // Other computers' days are theirs to keep: restoring them here would count them twice.
    if (QString(lines.first()).remove(u'\r') == csvComputersHeader())
        return failure(1, u"this file holds the days of several computers (the computer column); "
                          u"import a file exported without --all-computers"_s);
    if (QString(lines.first()).remove(u'\r') != csvHeader())
        return failure(1, u"expected the header \"%1\""_s.arg(csvHeader()));

    CsvImport result;
    QSet<qint64> days;
    for (int index = 1; index < lines.size(); ++index) {
        const QString line = QString(lines[index]).remove(u'\r');
        if (line.trimmed().isEmpty())
            continue;
        const LineResult parsed = parseLine(line);
        if (!parsed.record)
            return failure(index + 1, parsed.error);
        if (days.contains(parsed.record->dateSecondsSinceEpoch()))
            return failure(index + 1, u"%1 appears more than once"_s.arg(line.section(u',', 0, 0)));
        days.insert(parsed.record->dateSecondsSinceEpoch());
        result.records.append(*parsed.record);
    }
    return result;
}
