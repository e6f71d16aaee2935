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
    QString error;
    auto database = tryOpen(error);
    if (!database) {
        qCWarning(lcScreenTime, "Could not open the data store (%s); starting a fresh one",
                  qPrintable(error));
        result.movedAside = moveStoreFilesAside(now);
        database = tryOpen(error);
    }
    if (!database) {
        result.errorDescription = error;
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

std::unique_ptr<SqliteDatabase> StoreOpener::tryOpen(QString& error) const
{
    if (m_directory.isEmpty()) {
        error = QStringLiteral("No data directory could be determined for this user.");
        return nullptr;
    }
    if (!QDir().mkpath(m_directory)) {
        error = QStringLiteral("The data directory %1 could not be created.").arg(m_directory);
        return nullptr;
    }
    auto database = std::make_unique<SqliteDatabase>();
    if (!database->open(storePath(), SqliteDatabase::Mode::ReadWriteCreate) ||
        !prepareSchema(*database, error)) {
        if (error.isEmpty())
            error = database->errorMessage();
        return nullptr;
    }
    return database;
}

bool StoreOpener::prepareSchema(SqliteDatabase& database, QString& error) const
{
    database.execute(
        QStringLiteral("PRAGMA busy_timeout = %1").arg(m_busyTimeoutMilliseconds).toUtf8().constData());
    // The first read of the file is where a file that is not SQLite shows itself.
    const std::optional<qint64> userVersion = database.queryInt64("PRAGMA user_version");
    if (!userVersion)
        return false;
    if (*userVersion > currentUserVersion) {
        error = QStringLiteral("The data store was written by a newer version of Lumatick (schema %1).")
                    .arg(schemaVersionText(*userVersion));
        return false;
    }
    if (database.queryText("PRAGMA quick_check") != QStringLiteral("ok")) {
        error = QStringLiteral("The data store is damaged.");
        return false;
    }
    // WAL keeps readers (the status command, the history window) from blocking the
    // once-a-minute save; FULL makes every committed save survive a power cut.
    if (database.queryText("PRAGMA journal_mode = WAL") != QStringLiteral("wal") ||
        !database.execute("PRAGMA synchronous = FULL") || !database.execute("BEGIN IMMEDIATE"))
        return false;
    for (const char* statement : DailyScreenTimeSchemaV1::createStatements) {
        if (!database.execute(statement)) {
            error = database.errorMessage();
            database.execute("ROLLBACK");
            return false;
        }
    }
    const QByteArray setVersion = "PRAGMA user_version = " + QByteArray::number(currentUserVersion);
    if (!database.execute(setVersion.constData()) || !database.execute("COMMIT")) {
        error = database.errorMessage();
        database.execute("ROLLBACK");
        return false;
    }
    // A table of the same name with other columns fails here rather than at the first save.
    return database.prepare(RecordQuery().sql()) != nullptr;
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

QString StoreOpener::failureInformativeText(const QString& errorDescription)
{
    return QStringLiteral("Lumatick\u2019s data store could not be opened or recreated. "
                          "Screen time history has been lost. ") +
           QStringLiteral("The app will now quit.\n\nError: ") + errorDescription;
}
