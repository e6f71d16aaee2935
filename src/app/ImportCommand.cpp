#include "ImportCommand.h"

#include "CommandLine.h"
#include "CommandOutput.h"
#include "CsvImport.h"
#include "InstanceLink.h"
#include "StoreAccess.h"
#include "StoreLock.h"

#include <QCommandLineParser>
#include <QFile>

ImportCommand::ImportCommand(FILE* out, FILE* err)
    : Subcommand(QStringLiteral("import"), QStringLiteral("lumatick import FILE"), out, err)
{}

int ImportCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A file written by lumatick export."));
    if (!parser.parse(arguments) || parser.positionalArguments().size() != 1)
        return usageError(parser, QStringLiteral("expected exactly one FILE"));
    const QString path = parser.positionalArguments().first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const CsvImport parsed = CsvImport::parse(file.readAll());
    if (!parsed.ok()) {
        const QString where =
            parsed.errorLine > 0 ? QStringLiteral("%1:%2").arg(path).arg(parsed.errorLine) : path;
        return failure(QStringLiteral("%1: %2; nothing was imported").arg(where, parsed.errorMessage));
    }

    // The running application keeps today's total in memory and saves it every minute; an
    // import beside it could be overwritten, and two writers are never allowed. The store's
    // lock also finds a counter started without a session bus, and keeps one from starting
    // while the import writes.
    StoreAccess access;
    StoreLock lock(access.directory());
    const StoreLock::Outcome locked = lock.tryLock();
    if (InstanceLink::sessionBus()->isInstanceRunning() || locked == StoreLock::Outcome::heldElsewhere)
        return failure(QStringLiteral("Lumatick is running; quit it first (nothing was imported)"));
    if (locked == StoreLock::Outcome::failed)
        return failure(QStringLiteral("cannot open the data store: %1").arg(lock.description()));
    StoreOpener::Result opened = access.openForWriting(QDateTime::currentDateTime());
    if (!opened.store)
        return failure(QStringLiteral("cannot open the data store: %1").arg(opened.errorDescription));
    if (const std::optional<QString> error = opened.store->replaceRecords(parsed.records))
        return failure(QStringLiteral("nothing was imported: %1").arg(*error));
    writeLine(m_out,
              QStringLiteral("Imported %1 days into %2").arg(parsed.records.size()).arg(access.directory()));
    return CommandLine::exitOk;
}
