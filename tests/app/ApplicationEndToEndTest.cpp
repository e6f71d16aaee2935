#include "ApplicationIdentity.h"
#include "LocalDay.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "StoreOpener.h"

#include "PrivateBus.h"
#include "QtPrinters.h"

#include <QDBusInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QUuid>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int startTimeoutMs = 20'000;

class ApplicationEndToEndTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sessionBus.isRunning());
        ASSERT_TRUE(m_systemBus.isRunning());
        QDir(StoreOpener::defaultDirectory()).removeRecursively();
        m_preferences.registerDefaults();
    }

    void TearDown() override
    {
        for (const auto& process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
        QDBusConnection::disconnectFromBus(m_connectionName);
    }

    // The sandboxed folders of this test binary, our two buses, and no graphical session, so
    // the run is the same on a developer's desktop and in CI.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_sessionBus.address());
        environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_systemBus.address());
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP"})
            environment.remove(QString::fromLatin1(name));
        return environment;
    }

    QProcess* startHeadless()
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(LUMATICK_BINARY), {QStringLiteral("--headless")});
        process->waitForStarted(startTimeoutMs);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    std::optional<qint64> todaySeconds()
    {
        QDBusInterface control(ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath,
                               ApplicationIdentity::controlInterface, m_bus);
        const QVariant seconds = control.property("TodaySeconds");
        if (!seconds.isValid())
            return std::nullopt;
        return seconds.toLongLong();
    }

    static bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > timeoutMs)
                return false;
            QTest::qWait(100);
        }
        return true;
    }

    bool waitUntilAnswering()
    {
        return waitUntil([this] { return todaySeconds().has_value(); }, startTimeoutMs);
    }

    std::optional<qint64> storedToday()
    {
        StoreOpener::Result opened =
            StoreOpener(StoreOpener::defaultDirectory(), m_preferences).openReadOnly();
        if (!opened.store)
            return std::nullopt;
        const auto record = opened.store->fetchRecord(startOfLocalDay(QDateTime::currentDateTime()));
        if (!record)
            return std::nullopt;
        return record->totalSeconds();
    }

    PrivateBus m_sessionBus;
    PrivateBus m_systemBus;
    // A fresh name each time: Qt hands out a connection already made under a name, and the bus
    // of an earlier test is gone.
    const QString m_connectionName = QUuid::createUuid().toString();
    QDBusConnection m_bus = m_sessionBus.connect(m_connectionName);
    Preferences m_preferences{Preferences::defaultFilePath()};
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(ApplicationEndToEndTest, terminationSavesTheCountedTimeAndExitsWithZero)
{
    QProcess* app = startHeadless();
    ASSERT_TRUE(waitUntilAnswering());
    const qint64 first = todaySeconds().value_or(0);
    qint64 last = first;
    ASSERT_TRUE(waitUntil(
        [&] {
            last = todaySeconds().value_or(last);
            return last >= first + 2;
        },
        10'000));

    app->terminate();
    ASSERT_TRUE(app->waitForFinished(10'000));

    EXPECT_EQ(app->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app->exitCode(), 0);
    const std::optional<qint64> stored = storedToday();
    ASSERT_TRUE(stored.has_value());
    EXPECT_GE(*stored, last);
    EXPECT_LE(*stored, last + 1);
}

TEST_F(ApplicationEndToEndTest, secondStartHandsOverAndLeavesTheFirstRunning)
{
    QProcess* first = startHeadless();
    ASSERT_TRUE(waitUntilAnswering());

    QElapsedTimer timer;
    timer.start();
    QProcess* second = startHeadless();
    ASSERT_TRUE(second->waitForFinished(10'000));

    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_LT(timer.elapsed(), 5'000);
    QTest::qWait(500);
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_TRUE(todaySeconds().has_value());
}

TEST_F(ApplicationEndToEndTest, unreadableStoreIsMovedAsideAndCountingStartsFromZero)
{
    const QDir directory(StoreOpener::defaultDirectory());
    ASSERT_TRUE(directory.mkpath(QStringLiteral(".")));
    QFile garbage(directory.filePath(QStringLiteral("default.store")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, '\x5a'));
    garbage.close();

    QProcess* app = startHeadless();
    ASSERT_TRUE(waitUntilAnswering());

    EXPECT_LE(todaySeconds().value_or(-1), 2);
    EXPECT_GE(todaySeconds().value_or(-1), 0);
    const QStringList movedAside = directory.entryList({QStringLiteral("default-unreadable-*")}, QDir::Files);
    EXPECT_FALSE(movedAside.isEmpty()) << directory.entryList(QDir::Files).join(u' ').toStdString();
    app->terminate();
    ASSERT_TRUE(app->waitForFinished(10'000));
    EXPECT_EQ(app->exitCode(), 0);
}

} // namespace
