#include "ReliabilityTest.h"

#include "ApplicationIdentity.h"
#include "FileContents.h"
#include "StoreOpener.h"

#include <QDBusInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QUuid>

#include <sqlite3.h>

#include <csignal>
#include <functional>
#include <unistd.h>

namespace {
const QString fakeTimeFileName = QStringLiteral("faketime");

// Calls `row` for each row `sql` gives; nothing when it cannot run.
void forEachRow(sqlite3* database, const char* sql, const std::function<void(sqlite3_stmt*)>& row)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database, sql, -1, &statement, nullptr);
    while (statement && sqlite3_step(statement) == SQLITE_ROW)
        row(statement);
    sqlite3_finalize(statement);
}
} // namespace

ReliabilityTest::ReliabilityTest()
    : m_connectionName(QUuid::createUuid().toString())
    , m_bus(m_sessionBus.connect(m_connectionName))
    , m_preferences(Preferences::defaultFilePath())
{}

void ReliabilityTest::SetUp()
{
    ASSERT_TRUE(m_sessionBus.isRunning());
    ASSERT_TRUE(m_systemBus.isRunning());
    QDir(StoreOpener::defaultDirectory()).removeRecursively();
    m_preferences.registerDefaults();
}

void ReliabilityTest::TearDown()
{
    for (const auto& process : m_started) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished();
        }
    }
    while (!m_readOnlyFolders.isEmpty())
        setWritable(m_readOnlyFolders.takeLast(), true);
    while (!m_mounts.isEmpty())
        unmount(QString(m_mounts.last())); // a copy: unmount removes it from the list
    QDBusConnection::disconnectFromBus(m_connectionName);
}

// Logs go to the error channel, never to the journal, so the tests can read them.
QProcessEnvironment ReliabilityTest::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_sessionBus.address());
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_systemBus.address());
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    // The level in front of every line, so the tests can tell errors from notes.
    environment.insert(QStringLiteral("QT_MESSAGE_PATTERN"),
                       QStringLiteral("%{type} %{category}: %{message}"));
    for (const char* name : {"LD_PRELOAD", "FAKETIME", "FAKETIME_TIMESTAMP_FILE"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

QProcess* ReliabilityTest::launch(const QStringList& arguments, const QProcessEnvironment& additions,
                                  const QStringList& wrapper)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = this->environment();
    environment.insert(additions);
    process->setProcessEnvironment(environment);
    const QString logFile =
        m_scratch.filePath(QStringLiteral("lumatick-%1.log").arg(static_cast<int>(m_started.size())));
    process->setStandardErrorFile(logFile);
    const QStringList command = wrapper + QStringList{QStringLiteral(LUMATICK_BINARY)} + arguments;
    process->start(command.first(), command.mid(1));
    process->waitForStarted(startTimeoutMs);
    m_logFiles.insert(process.get(), logFile);
    m_started.push_back(std::move(process));
    return m_started.back().get();
}

std::optional<int> ReliabilityTest::runLumatick(const QStringList& arguments)
{
    QProcess* process = launch(arguments);
    if (!waitUntil([process] { return process->state() == QProcess::NotRunning; }, startTimeoutMs) ||
        process->exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return process->exitCode();
}

QString ReliabilityTest::logOf(const QProcess* process) const
{
    return QString::fromUtf8(readFile(m_logFiles.value(process)));
}

QVariant ReliabilityTest::controlProperty(const char* name)
{
    return QDBusInterface(ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath,
                          ApplicationIdentity::controlInterface, m_bus)
        .property(name);
}

std::optional<qint64> ReliabilityTest::liveSeconds()
{
    const QVariant seconds = controlProperty("TodaySeconds");
    return seconds.isValid() ? std::optional(seconds.toLongLong()) : std::nullopt;
}

std::optional<qint64> ReliabilityTest::liveSecondsAfter(int milliseconds)
{
    std::optional<qint64> last;
    QElapsedTimer timer;
    timer.start();
    waitUntil(
        [&] {
            if (const std::optional<qint64> seconds = liveSeconds())
                last = seconds;
            return timer.elapsed() >= milliseconds;
        },
        milliseconds + 5'000);
    return last;
}

bool ReliabilityTest::waitUntilAnswering()
{
    return waitUntil([this] { return liveSeconds().has_value(); }, startTimeoutMs);
}

std::optional<qint64> ReliabilityTest::waitForLiveSeconds(qint64 seconds)
{
    std::optional<qint64> last;
    const bool reached = waitUntil(
        [&] {
            last = liveSeconds();
            return last && *last >= seconds;
        },
        15'000);
    return reached ? last : std::nullopt;
}

std::optional<int> ReliabilityTest::terminate(QProcess* process, int signal)
{
    // A process that has ended has no id; kill(0) would signal our own process group.
    const qint64 id = process->processId();
    if (id <= 0)
        return std::nullopt;
    ::kill(static_cast<pid_t>(id), signal);
    if (!process->waitForFinished(10'000) || process->exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return process->exitCode();
}

// Read-write, because a reader of a store in WAL mode maps the shared-memory file; only
// called once the counter has ended, so closing may fold the log into the file as the
// counter's own close would.
QMap<qint64, qint64> ReliabilityTest::readStore() const
{
    const QByteArray path = QDir(storeDirectory()).filePath(QStringLiteral("default.store")).toLocal8Bit();
    sqlite3* database = nullptr;
    sqlite3_open_v2(path.constData(), &database, SQLITE_OPEN_READWRITE, nullptr);
    QStringList integrity;
    forEachRow(database, "PRAGMA integrity_check", [&](sqlite3_stmt* row) {
        integrity.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, 0))));
    });
    QMap<qint64, qint64> totals;
    int rows = 0;
    forEachRow(database, "SELECT date, totalSeconds FROM DailyScreenTime", [&](sqlite3_stmt* row) {
        totals.insert(sqlite3_column_int64(row, 0), sqlite3_column_int64(row, 1));
        ++rows;
    });
    sqlite3_close(database);
    EXPECT_EQ(integrity, QStringList{QStringLiteral("ok")}) << path.constData();
    EXPECT_EQ(rows, totals.size()) << "a day was stored twice";
    return totals;
}

bool ReliabilityTest::seedDay(const QDate& day, qint64 totalSeconds)
{
    StoreOpener::Result opened =
        StoreOpener(storeDirectory(), m_preferences).open(QDateTime::currentDateTime());
    if (!opened.store)
        return false;
    opened.store->saveDayTotal(day.startOfDay(), totalSeconds);
    return !opened.store->hasUnsavedChanges();
}

qint64 ReliabilityTest::dayKey(const QDate& day)
{
    return day.startOfDay().toSecsSinceEpoch();
}

QString ReliabilityTest::storeDirectory() const
{
    return StoreOpener::defaultDirectory();
}

bool ReliabilityTest::fakeTimeAvailable() const
{
    return QFile::exists(QStringLiteral(LUMATICK_FAKETIME_LIBRARY));
}

// libfaketime reads the file again at every clock call (no cache), so writing it moves the
// running counter's wall clock; the monotonic clock its timers run on stays real.
QProcessEnvironment ReliabilityTest::fakeTimeEnvironment() const
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(LUMATICK_FAKETIME_LIBRARY));
    environment.insert(QStringLiteral("FAKETIME_TIMESTAMP_FILE"), m_scratch.filePath(fakeTimeFileName));
    environment.insert(QStringLiteral("FAKETIME_NO_CACHE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
    return environment;
}

// "@" starts the clock at the moment given and lets it run on from there.
bool ReliabilityTest::setFakeTime(const QDateTime& moment)
{
    return writeFakeTime("@" +
                         moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1());
}

bool ReliabilityTest::writeFakeTime(const QByteArray& setting)
{
    if (!fakeTimeAvailable())
        return false;
    QSaveFile file(m_scratch.filePath(fakeTimeFileName));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(setting + '\n');
    return file.commit();
}

// The monotonic clock is faked too here: the rate then applies to the timers, so the tick
// comes ten times a second and each still measures one second of wall-clock time.
QProcessEnvironment ReliabilityTest::acceleratedClock()
{
    if (!writeFakeTime("@" + acceleratedDay().toString(Qt::ISODate).toLatin1() + " 10:00:00 x10"))
        return {};
    QProcessEnvironment environment = fakeTimeEnvironment();
    environment.remove(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"));
    return environment;
}

bool ReliabilityTest::runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    return tool.waitForFinished(10'000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool ReliabilityTest::makeReadOnly(const QString& directory)
{
    if (::geteuid() == 0)
        return mountReadOnly(directory);
    m_readOnlyFolders.append(directory);
    return setWritable(directory, false);
}

void ReliabilityTest::makeWritable(const QString& directory)
{
    if (m_readOnlyFolders.removeAll(directory) > 0)
        setWritable(directory, true);
    else
        unmount(directory);
}

bool ReliabilityTest::setWritable(const QString& directory, bool writable)
{
    const QDir folder(directory);
    const QFileDevice::Permissions read = QFileDevice::ReadOwner | QFileDevice::ReadUser;
    const QFileDevice::Permissions write =
        writable ? QFileDevice::WriteOwner | QFileDevice::WriteUser : QFileDevice::Permissions();
    bool changed = true;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        changed = QFile::setPermissions(folder.filePath(name), read | write) && changed;
    return QFile::setPermissions(directory, read | write | QFileDevice::ExeOwner | QFileDevice::ExeUser) &&
           changed;
}

// A bind mount of the folder on itself, then made read-only: what the counter meets when
// the file system holding the user's data turns read-only under it.
bool ReliabilityTest::mountReadOnly(const QString& directory)
{
    if (!runTool(QStringLiteral("mount"), {QStringLiteral("--bind"), directory, directory}))
        return false;
    m_mounts.append(directory);
    return runTool(QStringLiteral("mount"),
                   {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), directory, directory});
}

bool ReliabilityTest::mountSmallFileSystem(const QString& directory, const QString& size)
{
    if (!QDir().mkpath(directory) ||
        !runTool(QStringLiteral("mount"),
                 {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                  QStringLiteral("size=") + size, QStringLiteral("tmpfs"), directory}))
        return false;
    m_mounts.append(directory);
    return true;
}

bool ReliabilityTest::fillDisk(QFile& file)
{
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'x');
    while (file.write(block) == block.size() && file.flush()) {
    }
    file.close();
    return true;
}

void ReliabilityTest::unmount(const QString& directory)
{
    m_mounts.removeOne(directory);
    if (!runTool(QStringLiteral("umount"), {directory}))
        runTool(QStringLiteral("umount"), {QStringLiteral("--lazy"), directory});
}
