#include "SharedTotalsFile.h"

#include "CsvExport.h"
#include "CsvImport.h"

using namespace Qt::StringLiterals;

namespace {

const QString nameLinePrefix = u"lumatick-shared-totals,"_s;

SharedTotalsFile failed(SharedTotalsFile::Status status, const QString& problem)
{
    SharedTotalsFile file;
    file.status = status;
    file.problem = problem;
    return file;
}

} // namespace

QByteArray SharedTotalsFile::build(const QString& name, const QList<DailyScreenTime>& records)
{
    // A line break in the name would end the name line early.
    const QString oneLineName = QString(name).replace(u'\n', u' ').remove(u'\r');
    return (nameLinePrefix + QString::number(formatVersion) + u',' + oneLineName + u'\n').toUtf8() +
           buildCSV(records, true);
}

SharedTotalsFile SharedTotalsFile::parse(const QByteArray& contents)
{
    const qsizetype wholeLength = contents.lastIndexOf('\n') + 1;
    const QString text = QString::fromUtf8(contents.left(wholeLength));
    const qsizetype nameEnd = text.indexOf(u'\n');
    if (!text.startsWith(nameLinePrefix) || nameEnd < 0)
        return failed(Status::unreadable, u"no name line yet"_s);
    const QString nameLine = text.left(nameEnd).remove(u'\r');
    bool numeric = false;
    const int version = nameLine.section(u',', 1, 1).toInt(&numeric);
    if (!numeric)
        return failed(Status::unreadable, u"the name line has no format version"_s);
    if (version > formatVersion)
        return failed(Status::newerFormat,
                      u"format %1 is newer than this version reads (%2)"_s.arg(version).arg(formatVersion));
    const CsvImport rows = CsvImport::parse(text.mid(nameEnd + 1).toUtf8());
    if (!rows.ok())
        return failed(Status::unreadable, u"line %1: %2"_s.arg(rows.errorLine + 1).arg(rows.errorMessage));
    SharedTotalsFile file;
    file.name = nameLine.section(u',', 2);
    for (const DailyScreenTime& record : rows.records)
        file.days.insert(record.date().date(), record.totalSeconds());
    file.status = wholeLength == contents.size() ? Status::complete : Status::partial;
    if (file.status == Status::partial)
        file.problem = u"the last line is not complete yet"_s;
    return file;
}
