#include "EndToEndTest.h"

#include "LocalDay.h"
#include "RecordStore.h"
#include "StoreOpener.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QUuid>

EndToEndTest::EndToEndTest()
    : m_connectionName(QUuid::createUuid().toString())
    , m_bus(m_sessionBus.connect(m_connectionName))
    , m_preferences(Preferences::defaultFilePath())
{}

void EndToEndTest::SetUp()
{
    ASSERT_TRUE(m_sessionBus.isRunning());
    ASSERT_TRUE(m_systemBus.isRunning());
    QDir(StoreOpener::defaultDirectory()).removeRecursively();
    m_preferences.registerDefaults();
}

void EndToEndTest::TearDown()
{
    for (const auto& process : m_processes) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished();
        }
    }
    QDBusConnection::disconnectFromBus(m_connectionName);
}

QProcessEnvironment EndToEndTest::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_sessionBus.address());
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_systemBus.address());
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

QProcess* EndToEndTest::startLumatick(const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(LUMATICK_BINARY), arguments);
    process->waitForStarted(startTimeoutMs);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

std::optional<int> EndToEndTest::runLumatick(const QStringList& arguments)
{
    QProcess* process = startLumatick(arguments);
    if (!waitUntil([process] { return process->state() == QProcess::NotRunning; }, startTimeoutMs))
        return std::nullopt;
    if (process->exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return process->exitCode();
}

std::optional<qint64> EndToEndTest::storedToday()
{
    StoreOpener::Result opened = StoreOpener(StoreOpener::defaultDirectory(), m_preferences).openReadOnly();
    if (!opened.store)
        return std::nullopt;
    const auto record = opened.store->fetchRecord(startOfLocalDay(QDateTime::currentDateTime()));
    if (!record)
        return std::nullopt;
    return record->totalSeconds();
}

bool EndToEndTest::seedToday(qint64 totalSeconds)
{
    StoreOpener::Result opened =
        StoreOpener(StoreOpener::defaultDirectory(), m_preferences).open(QDateTime::currentDateTime());
    if (!opened.store)
        return false;
    opened.store->saveDayTotal(startOfLocalDay(QDateTime::currentDateTime()), totalSeconds);
    return !opened.store->hasUnsavedChanges();
}

bool EndToEndTest::waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(50);
    }
    return true;
}
