#include "ReliabilityTest.h"

#include "FileContents.h"

#include <QDir>
#include <QFile>

namespace {

// One process writes the store, whatever the session: the lock beside the store keeps a second
// counter out even where no session bus decides the hand-over, and a lock left behind by a
// killed counter does not keep the next one out.
class SingleWriterTest : public ReliabilityTest {
protected:
    QString lockFile() const { return QDir(storeDirectory()).filePath(QStringLiteral("default.store.lock")); }

    // The pid the lock names, 0 while there is none.
    qint64 lockOwner() const { return readFile(lockFile()).split('\n').value(0).trimmed().toLongLong(); }

    // A bare tty or ssh login: no session bus at all.
    QProcess* startWithoutSessionBus()
    {
        return launch(
            {QStringLiteral("--headless")}, {},
            {QStringLiteral("env"), QStringLiteral("-u"), QStringLiteral("DBUS_SESSION_BUS_ADDRESS")});
    }
};

TEST_F(SingleWriterTest, secondStartWithoutASessionBusSaysLumatickRunsAndLeaves)
{
    QProcess* first = startWithoutSessionBus();
    ASSERT_TRUE(waitUntil([&] { return lockOwner() == first->processId(); }, startTimeoutMs));

    QProcess* second = startWithoutSessionBus();
    ASSERT_TRUE(second->waitForFinished(startTimeoutMs)) << "the second start stayed";
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(logOf(second).trimmed(),
              QStringLiteral("Lumatick is already running (process %1); this start ends here.")
                  .arg(first->processId()));

    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(terminate(first), 0);
    EXPECT_FALSE(QFile::exists(lockFile())) << "the lock outlived its counter";
}

TEST_F(SingleWriterTest, startAfterAKillTakesOverTheLockItLeftBehind)
{
    QProcess* killed = startHeadless();
    ASSERT_TRUE(waitUntilAnswering()) << logOf(killed).toStdString();
    const qint64 killedId = killed->processId();
    killed->kill();
    ASSERT_TRUE(killed->waitForFinished(10'000));
    ASSERT_EQ(lockOwner(), killedId) << "kill -9 should leave the lock behind";

    QProcess* next = startHeadless();
    ASSERT_TRUE(waitUntilAnswering()) << logOf(next).toStdString();
    EXPECT_EQ(lockOwner(), next->processId());
    EXPECT_EQ(terminate(next), 0);
}

} // namespace
