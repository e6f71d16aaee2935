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
} // namespace

ExportCommand::ExportCommand(FILE* out, FILE* err)
    : Subcommand(QStringLiteral("export"), QStringLiteral("lumatick export [-o FILE]"), out, err)
{}

int ExportCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Write to FILE instead of standard output."),
                                          QStringLiteral("FILE"));
    parser.addOption(outputOption);
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
    const QByteArray csv = buildCSV(records, access.preferences().value(PreferenceKeys::showSeconds));

    if (!parser.isSet(outputOption)) {
        std::fwrite(csv.constData(), 1, static_cast<size_t>(csv.size()), m_out);
        return std::fflush(m_out) == 0 ? CommandLine::exitOk : CommandLine::exitFailure;
    }
    QString error;
    if (!writeFile(parser.value(outputOption), csv, error))
        return failure(QStringLiteral("cannot write %1: %2").arg(parser.value(outputOption), error));
    return CommandLine::exitOk;
}
