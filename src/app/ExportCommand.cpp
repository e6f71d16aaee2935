#include "ExportCommand.h"

#include "CommandLine.h"
#include "CommandOutput.h"
#include "CsvExport.h"
#include "StoreAccess.h"

#include <QCommandLineParser>
#include <QSaveFile>

namespace {
bool writeFile(const QString& path, const QByteArray& contents, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

// This computer's days and, read as they are now, the other computers' from the shared folder,
// with the computer column; nothing when sharing is off.
std::optional<QByteArray> allComputersCSV(const Preferences& preferences,
                                          const QList<DailyScreenTime>& records)
{
    const QString folder = preferences.value(PreferenceKeys::sharedTotalsFolder);
    if (folder.isEmpty())
        return std::nullopt;
    const QString name = SharedTotalsFolder::computerName(preferences);
    SharedTotalsFolder shared([] { return QDateTime::currentDateTimeUtc(); },
                              [] { return QList<DailyScreenTime>(); });
    shared.start(folder, preferences.value(PreferenceKeys::installationId), name);
    return buildComputersCSV(name, records, shared.computers(),
                             preferences.value(PreferenceKeys::showSeconds));
}
} // namespace

ExportCommand::ExportCommand(FILE* out, FILE* err)
    : Subcommand(QStringLiteral("export"), QStringLiteral("lumatick export [-o FILE] [--all-computers]"), out,
                 err)
{}

int ExportCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Write to FILE instead of standard output."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption allComputersOption(
        QStringLiteral("all-computers"),
        QStringLiteral("Add the days of the computers sharing totals, one line per computer per day."));
    parser.addOptions({outputOption, allComputersOption});
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty())
        return usageError(parser, QStringLiteral("unexpected argument"));

    StoreAccess access;
    const StoreOpener::Result opened = access.openForReading();
    if (!opened.errorDescription.isEmpty())
        return failure(opened.errorDescription);
    // No store yet means no days; a store whose records cannot be read writes nothing at all,
    // so an earlier export at the same place is never replaced by a header-only file.
    QList<DailyScreenTime> records;
    if (opened.store) {
        QString error;
        const std::optional<QList<DailyScreenTime>> fetched =
            opened.store->tryFetch(RecordQuery().sortedBy(RecordQuery::Order::Ascending), error);
        if (!fetched)
            return failure(QStringLiteral("cannot read the stored days: %1").arg(error));
        records = *fetched;
    }
    QByteArray csv;
    if (parser.isSet(allComputersOption)) {
        const std::optional<QByteArray> all = allComputersCSV(access.preferences(), records);
        if (!all)
            return failure(QStringLiteral("sharing is off, so there are no other computers' days; "
                                          "turn it on with lumatick share --folder PATH"));
        csv = *all;
    } else {
        csv = buildCSV(records, access.preferences().value(PreferenceKeys::showSeconds));
    }

    if (!parser.isSet(outputOption)) {
        std::fwrite(csv.constData(), 1, static_cast<size_t>(csv.size()), m_out);
        return std::fflush(m_out) == 0 ? CommandLine::exitOk : CommandLine::exitFailure;
    }
    QString error;
    if (!writeFile(parser.value(outputOption), csv, error))
        return failure(QStringLiteral("cannot write %1: %2").arg(parser.value(outputOption), error));
    return CommandLine::exitOk;
}
