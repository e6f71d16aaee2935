#include "ApplicationIdentity.h"
#include "EndToEndTest.h"
#include "StoreOpener.h"

#include "QtPrinters.h"

#include <QDBusInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <optional>

namespace {

// The counter without a display (`--headless`), watched through its control object.
class ApplicationEndToEndTest : public EndToEndTest {
protected:
    QProcess* startHeadless() { return startLumatick({QStringLiteral("--headless")}); }

    std::optional<qint64> todaySeconds()
    {
        QDBusInterface control(ApplicationIdentity::busName, ApplicationIdentity::controlObjectPath,
                               ApplicationIdentity::controlInterface, m_bus);
        const QVariant seconds = control.property("TodaySeconds");
        if (!seconds.isValid())
            return std::nullopt;
        return seconds.toLongLong();
    }

    bool waitUntilAnswering()
    {
        return waitUntil([this] { return todaySeconds().has_value(); }, startTimeoutMs);
    }
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
