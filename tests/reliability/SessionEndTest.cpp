#include "ApplicationIdentity.h"
#include "FileContents.h"
#include "ReliabilityTest.h"

#include <QDBusConnectionInterface>
#include <QDir>
#include <QStandardPaths>

namespace {

// The counter on a panel when the session ends.
using SessionEndTest = PanelSessionTest;

// The X server goes away before SIGTERM comes: Qt ends the process at once, and no second
// counted is lost.
TEST_F(SessionEndTest, theTimeCountedIsSavedWhenTheDisplayGoesAway)
{
    constexpr qint64 earlierToday = 3600;
    ASSERT_TRUE(seedDay(QDate::currentDate(), earlierToday));
    QProcess* app = startPanel();
    const std::optional<qint64> lastShown = waitForLiveSeconds(earlierToday + 3);
    ASSERT_TRUE(lastShown) << "the counter does not count";

    m_display.stop();
    ASSERT_TRUE(app->waitForFinished(10'000));
    EXPECT_GE(readStore().value(dayKey(QDate::currentDate())), *lastShown) << logOf(app).toStdString();
}

// A session manager saving the session leaves the counter out of it: login starts the counter
// through its autostart entry, and a restored copy would be a second start.
TEST_F(SessionEndTest, aSavedSessionLeavesTheCounterToItsLoginEntry)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xsm")).isEmpty())
        GTEST_SKIP() << "xsm is not installed";
    const QDir home = QDir::home();
    QFile::remove(home.filePath(QStringLiteral(".XSM-Default")));
    ASSERT_TRUE(writeFile(home.filePath(QStringLiteral(".xsmstartup")), LUMATICK_BINARY "\n"));
    QProcess manager;
    manager.setProcessEnvironment(environment());
    manager.start(QStringLiteral("xsm"), {});
    ASSERT_TRUE(waitUntilAnswering()) << "the session manager did not start the counter";
    const uint counter = m_bus.interface()->servicePid(ApplicationIdentity::busName).value();

    manager.terminate(); // it saves the session on its way out
    EXPECT_TRUE(manager.waitForFinished(10'000));
    ::kill(static_cast<pid_t>(counter), SIGTERM);
    EXPECT_TRUE(waitUntil([this] { return !liveSeconds(); }, startTimeoutMs));
    const QByteArray saved = readFile(home.filePath(QStringLiteral(".XSM-Default")));
    EXPECT_FALSE(saved.isEmpty());
    EXPECT_FALSE(saved.contains(LUMATICK_BINARY)) << saved.toStdString();
}

} // namespace
