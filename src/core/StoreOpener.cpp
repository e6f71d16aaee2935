#include "StoreOpener.h"

#include "DailyScreenTimeSchema.h"
#include "Logging.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {
constexpr int currentUserVersion = DailyScreenTimeMigrationPlan::current.userVersion();

// "default.store-wal" -> "default-unreadable-20261205-093000.store-wal": the three files keep
// matching names, so the set moved aside can still be opened together.
QString movedAsideName(const QString& fileName, const QString& stamp)
{
    return fileName.section(u'.', 0, 0) + QStringLiteral("-unreadable-") + stamp + u'.' +
           fileName.section(u'.', 1);
}

QString schemaVersionText(qint64 userVersion)
{
    return QStringLiteral("%1.%2.%3")
        .arg(userVersion / 10000)
        .arg(userVersion / 100 % 100)
        .arg(userVersion % 100);
}
} // namespace

StoreOpener::StoreOpener(QString directory, const Preferences& preferences)
    : m_directory(std::move(directory))
    , m_preferences(preferences)
{}

QString StoreOpener::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

StoreOpener::Result StoreOpener::open(const QDateTime& now)
{
    Result result;
    Failure failure;
    auto database = tryOpen(failure);
    if (!database && failure.unreadable) {
        qCWarning(lcScreenTime, "The data store cannot be read (%s); starting a fresh one",
                  qPrintable(failure.reason));
        result.movedAside = moveStoreFilesAside(now);
        failure = {};
        database = tryOpen(failure);
    }
    if (!database) {
        result.errorDescription =
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(storePath()), failure.reason);
        return result;
    }
    result.store = std::make_unique<RecordStore>(std::move(database), m_preferences);
    return result;
}

StoreOpener::Result StoreOpener::openReadOnly() const
{
    Result result;
    if (m_directory.isEmpty() || !QFile::exists(storePath()))
        return result;
    auto database = std::make_unique<SqliteDatabase>();
    if (!database->open(storePath(), SqliteDatabase::Mode::ReadOnly)) {
        result.errorDescription = database->errorMessage();
        return result;
    }
    database->execute(
        QStringLiteral("PRAGMA busy_timeout = %1").arg(m_busyTimeoutMilliseconds).toUtf8().constData());
    const std::optional<qint64> userVersion = database->queryInt64("PRAGMA user_version");
    if (!userVersion || *userVersion > currentUserVersion || !database->prepare(RecordQuery().sql())) {
        result.errorDescription =
            userVersion && *userVersion > currentUserVersion
                ? QStringLiteral("The data store was written by a newer version of Lumatick.")
                : QStringLiteral("The data store cannot be read: %1").arg(database->errorMessage());
        return result;
    }
    result.store = std::make_unique<RecordStore>(std::move(database), m_preferences);
    return result;
}

QString StoreOpener::storePath() const
{
    return QDir(m_directory).filePath(QString::fromLatin1(storeFileNames[0]));
}

std::unique_ptr<SqliteDatabase> StoreOpener::tryOpen(Failure& failure) const
{
    if (m_directory.isEmpty()) {
        failure.reason = QStringLiteral("No data directory could be determined for this user.");
        return nullptr;
    }
    if (!QDir().mkpath(m_directory)) {
        failure.reason = QStringLiteral("The data directory %1 could not be created.").arg(m_directory);
        return nullptr;
    }
    auto database = std::make_unique<SqliteDatabase>();
    if (!database->open(storePath(), SqliteDatabase::Mode::ReadWriteCreate)) {
        failure = failureOf(*database);
        return nullptr;
    }
    if (!prepareSchema(*database, failure))
        return nullptr;
    return database;
}

bool StoreOpener::prepareSchema(SqliteDatabase& database, Failure& failure) const
{
    database.execute(
        QStringLiteral("PRAGMA busy_timeout = %1").arg(m_busyTimeoutMilliseconds).toUtf8().constData());
    // The first read of the file is where a file that is not SQLite shows itself.
    const std::optional<qint64> userVersion = database.queryInt64("PRAGMA user_version");
    if (!userVersion)
        return fail(database, failure);
    if (*userVersion > currentUserVersion) {
        failure = {QStringLiteral("The data store was written by a newer version of Lumatick (schema %1).")
                       .arg(schemaVersionText(*userVersion)),
                   true};
        return false;
    }
    const std::optional<QString> check = database.queryText("PRAGMA quick_check");
    if (!check)
        return fail(database, failure);
    if (*check != QStringLiteral("ok")) {
        failure = {QStringLiteral("The data store is damaged."), true};
        return false;
    }
    // WAL keeps readers (the status command, the history window) from blocking the
    // once-a-minute save; FULL makes every committed save survive a power cut.
    const std::optional<QString> journalMode = database.queryText("PRAGMA journal_mode = WAL");
    if (!journalMode)
        return fail(database, failure);
    if (*journalMode != QStringLiteral("wal")) {
        failure.reason = QStringLiteral("The data store cannot be written.");
        return false;
    }
    return createTables(database, failure);
}

bool StoreOpener::createTables(SqliteDatabase& database, Failure& failure) const
{
    if (!database.execute("PRAGMA synchronous = FULL") || !database.execute("BEGIN IMMEDIATE"))
        return fail(database, failure);
    const QByteArray setVersion = "PRAGMA user_version = " + QByteArray::number(currentUserVersion);
    bool written = true;
    for (const char* statement : DailyScreenTimeSchemaV1::createStatements)
        written = written && database.execute(statement);
    written = written && database.execute(setVersion.constData()) && database.execute("COMMIT");
    // A table of the same name with other columns fails here or at the query below rather than
    // at the first save.
    if (!written || !database.prepare(RecordQuery().sql())) {
        fail(database, failure);
        failure.unreadable = failure.unreadable || database.lastErrorMeansSchemaMismatch();
        database.execute("ROLLBACK");
        return false;
    }
    return true;
}

StoreOpener::Failure StoreOpener::failureOf(const SqliteDatabase& database)
{
    return {database.errorMessage(), database.lastErrorMeansDamage()};
}

bool StoreOpener::fail(const SqliteDatabase& database, Failure& failure)
{
    failure = failureOf(database);
    return false;
}

QStringList StoreOpener::moveStoreFilesAside(const QDateTime& now) const
{
    QStringList moved;
    if (m_directory.isEmpty())
        return moved;
    const QDir directory(m_directory);
    QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int attempt = 1;
         QFile::exists(directory.filePath(movedAsideName(QString::fromLatin1(storeFileNames[0]), stamp)));
         ++attempt)
        stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss")) + u'-' + QString::number(attempt);
    for (const char* name : storeFileNames) {
        const QString fileName = QString::fromLatin1(name);
        const QString target = directory.filePath(movedAsideName(fileName, stamp));
        if (QFile::rename(directory.filePath(fileName), target))
            moved.append(target);
    }
    if (!moved.isEmpty())
        qCWarning(lcScreenTime, "Moved the unreadable data store aside: %s", qPrintable(moved.join(u", ")));
    return moved;
}

QString StoreOpener::failureMessageText()
{
    return QStringLiteral("Unable to Open Data Store");
}

QString StoreOpener::failureInformativeText(const QString& errorDescription, bool storeMovedAside)
{
    const QString what =
        storeMovedAside ? QStringLiteral("Lumatick\u2019s data store could not be opened or recreated. "
                                         "Screen time history has been lost. ")
                        : QStringLiteral("Lumatick\u2019s data store could not be opened. It was left as "
                                         "it is, with all of its history, and opens again once the "
                                         "problem below is solved. ");
    return what + QStringLiteral("The app will now quit.\n\nError: ") + errorDescription;
}
