#include "ReliabilityTest.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <functional>
#include <iostream>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString storeFiles[] = {QStringLiteral("default.store"), QStringLiteral("default.store-wal"),
                              QStringLiteral("default.store-shm")};

// A fault of the store's folder, made and then put right; false when it cannot be made here.
struct Fault {
    const char* what;
    std::function<bool()> cause;
    std::function<void()> remove;
};

// The folder of the store (a small file system of its own where mounting is permitted) taken
// from under the counter: made read-only, filled up, or the store moved away. The clock runs
// ten times as fast where libfaketime is installed, so a few seconds cover a periodic save.
class StorageFaultTest : public ReliabilityTest {
protected:
    void SetUp() override
    {
        ReliabilityTest::SetUp();
        m_clock = acceleratedClock();
        m_smallDisk = mountSmallFileSystem(m_folder, QStringLiteral("512k"));
    }

    // The store as an earlier run left it: yesterday and part of today.
    bool seedHistory()
    {
        return seedDay(m_yesterday, yesterdaySeconds) && seedDay(acceleratedDay(), earlierToday);
    }

    // Long enough on the fast clock for the periodic save that comes every 60 ticks.
    std::optional<qint64> countPastNextSave()
    {
        const std::optional<qint64> now = liveSeconds();
        return now ? waitForLiveSeconds(*now + 65) : std::nullopt;
    }

    static constexpr qint64 yesterdaySeconds = 9'876;
    static constexpr qint64 earlierToday = 3'600;
    const QString m_folder = storeDirectory();
    const QDate m_yesterday = acceleratedDay().addDays(-1);
    QProcessEnvironment m_clock;
    bool m_smallDisk = false;
    QFile m_filler{QDir(m_folder).filePath(QStringLiteral("filler"))};
    const Fault m_readOnly{"the folder turns read-only", [this] { return makeReadOnly(m_folder); },
                           [this] { makeWritable(m_folder); }};
    const Fault m_fullDisk{"the disk is full", [this] { return m_smallDisk && fillDisk(m_filler); },
                           [this] { m_filler.remove(); }};
};

// The counter goes on counting and reports failed saves in its log; once the fault is gone
// its periodic save (killed, so no other save can have written) keeps the total, and the
// history is as it was.
// WORKAROUND: a folder made read-only (a read-only bind mount, or its write permission taken)
// does not stop writes through files opened before, nor does moving the store: only the full
// disk fails saves.
TEST_F(StorageFaultTest, faultWhileRunningNeitherStopsTheCounterNorLosesTheHistory)
{
    if (!fakeTimeAvailable())
        GTEST_SKIP() << "libfaketime is not installed";
    const QDir folder(m_folder);
    const auto renameStore = [&](const QString& from, const QString& to) {
        bool renamed = true;
        for (const QString& name : storeFiles)
            renamed = QFile::rename(folder.filePath(from + name), folder.filePath(to + name)) && renamed;
        return renamed;
    };
    const Fault moved{"the store is moved away", [&] { return renameStore({}, u"moved-"_s); },
                      [&] { renameStore(u"moved-"_s, {}); }};
    for (const Fault* fault : {&m_readOnly, &m_fullDisk, &moved}) {
        SCOPED_TRACE(fault->what);
        ASSERT_TRUE(seedHistory());
        QProcess* app = startHeadless(m_clock);
        ASSERT_TRUE(waitForLiveSeconds(earlierToday + 3)) << logOf(app).toStdString();
        if (!fault->cause()) {
            std::cout << "[          ] skipped here: " << fault->what << '\n';
            app->kill();
            app->waitForFinished();
            continue;
        }
        ASSERT_TRUE(countPastNextSave().has_value()) << "the counter stopped\n" << logOf(app).toStdString();
        if (fault == &m_fullDisk) {
            EXPECT_TRUE(logOf(app).contains(u"SwiftData save failed"_s)) << logOf(app).toStdString();
        }
        fault->remove();
        const std::optional<qint64> afterRemoval = countPastNextSave();
        ASSERT_TRUE(afterRemoval.has_value()) << "the counter stopped\n" << logOf(app).toStdString();
        app->kill();
        ASSERT_TRUE(app->waitForFinished(10'000));

        const QMap<qint64, qint64> totals = readStore();
        EXPECT_EQ(totals.value(dayKey(m_yesterday)), yesterdaySeconds);
        EXPECT_GE(totals.value(dayKey(acceleratedDay())), *afterRemoval - 60);
        EXPECT_GT(totals.value(dayKey(acceleratedDay())), earlierToday + 65)
            << "no save succeeded afterwards";
    }
}

// Started while its store only cannot be opened for now (read-only, busy, no permission, a
// full disk): the start ends with the alert naming the store and the reason, the history is
// left where it is, nothing is moved aside, and the next start once the cause is gone finds
// every day.
TEST_F(StorageFaultTest, storeThatOnlyCannotBeOpenedNowIsLeftAsItIsAndTheAlertSaysWhy)
{
    ASSERT_TRUE(seedHistory());
    const QString store = QDir(m_folder).filePath(QStringLiteral("default.store"));
    sqlite3* holder = nullptr;
    // Root reads every file whatever its mode; without these capabilities it is refused too.
    const QStringList withoutOverride =
        ::geteuid() == 0 ? QStringList{QStringLiteral("setpriv"), QStringLiteral("--bounding-set"),
                                       QStringLiteral("-dac_override,-dac_read_search"), QStringLiteral("--")}
                         : QStringList{};
    const Fault busy{"another program holds the store's write lock",
                     [&] {
                         sqlite3_open(store.toUtf8().constData(), &holder);
                         return sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) ==
                                SQLITE_OK;
                     },
                     [&] { sqlite3_close_v2(holder); }};
    const Fault unreadable{"the store may not be read", [&] { return QFile::setPermissions(store, {}); },
                           [&] { QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner); }};
    const struct {
        const Fault& fault;
        QStringList wrapper;
        const char* reason;
    } cases[] = {{m_readOnly, {}, ""},
                 {busy, {}, "database is locked"},
                 {unreadable, withoutOverride, "Permission denied"},
                 {m_fullDisk, {}, "full"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.what);
        const QStringList filesBefore = QDir(m_folder).entryList(QDir::Files);
        if (!c.fault.cause()) {
            std::cout << "[          ] skipped here: " << c.fault.what << '\n';
            continue;
        }
        QProcess* app = launch({QStringLiteral("--headless")}, {}, c.wrapper);
        const bool ended = app->waitForFinished(startTimeoutMs);
        c.fault.remove();
        ASSERT_TRUE(ended);
        const QString errors = logOf(app);
        EXPECT_EQ(app->exitStatus(), QProcess::NormalExit) << "the counter crashed";
        EXPECT_EQ(app->exitCode(), 1) << errors.toStdString();
        for (const QString& expected : {QStringLiteral("Unable to Open Data Store"), m_folder,
                                        QString::fromLatin1(c.reason), QStringLiteral("left as it is")})
            EXPECT_TRUE(errors.contains(expected)) << expected.toStdString() << " in\n"
                                                   << errors.toStdString();
        EXPECT_EQ(QDir(m_folder).entryList(QDir::Files), filesBefore);
        const QMap<qint64, qint64> totals = readStore();
        EXPECT_EQ(totals.value(dayKey(m_yesterday)), yesterdaySeconds);
        EXPECT_EQ(totals.value(dayKey(acceleratedDay())), earlierToday);
    }
}

} // namespace
