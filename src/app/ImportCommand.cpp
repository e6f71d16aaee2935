#include "ImportCommand.h"

#include "CommandLine.h"
#include "CommandOutput.h"
#include "CsvImport.h"
#include "StoreAccess.h"

#include <QCommandLineParser>
#include <QFile>

ImportCommand::ImportCommand(FILE* out, FILE* err)
    : m_out(out)
    , m_err(err)
{}

int ImportCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A file written by lumatick export."));
    if (!parser.parse(arguments) || parser.positionalArguments().size() != 1) {
        writeLine(m_err, QStringLiteral("lumatick import: %1\nUsage: lumatick import FILE")
                             .arg(parser.errorText().isEmpty() ? QStringLiteral("expected exactly one FILE")
                                                               : parser.errorText()));
        return CommandLine::exitUsage;
    }
    const QString path = parser.positionalArguments().first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        writeLine(m_err, QStringLiteral("lumatick import: cannot read %1: %2").arg(path, file.errorString()));
        return CommandLine::exitFailure;
    }
    const CsvImport parsed = CsvImport::parse(file.readAll());
    if (!parsed.ok()) {
        const QString where =
            parsed.errorLine > 0 ? QStringLiteral("%1:%2").arg(path).arg(parsed.errorLine) : path;
        writeLine(
            m_err,
            QStringLiteral("lumatick import: %1: %2; nothing was imported").arg(where, parsed.errorMessage));
        return CommandLine::exitFailure;
    }

    StoreAccess access;
    StoreOpener::Result opened = access.openForWriting(QDateTime::currentDateTime());
    if (!opened.store) {
        writeLine(
            m_err,
            QStringLiteral("lumatick import: cannot open the data store: %1").arg(opened.errorDescription));
        return CommandLine::exitFailure;
    }
    if (const std::optional<QString> error = opened.store->replaceRecords(parsed.records)) {
        writeLine(m_err, QStringLiteral("lumatick import: nothing was imported: %1").arg(*error));
        return CommandLine::exitFailure;
    }
    writeLine(m_out,
              QStringLiteral("Imported %1 days into %2").arg(parsed.records.size()).arg(access.directory()));
    return CommandLine::exitOk;
}
