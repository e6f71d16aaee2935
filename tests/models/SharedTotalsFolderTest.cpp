#include "SharedTotalsFolder.h"

#include "FakeClock.h"
#include "FileContents.h"
#include "LogCapture.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QDate today(2026, 12, 7);
const QByteArray csvHeader = "date,total_seconds,total_formatted,goal_met\n";

QByteArray nameLine(int version, const char* name)
{
    return "lumatick-shared-totals," + QByteArray::number(version) + ',' + name + '\n';
}

QList<DailyScreenTime> days(std::initializer_list<std::pair<QDate, qint64>> totals)
{
    QList<DailyScreenTime> records;
    for (const auto& [day, seconds] : totals)
        records.append(DailyScreenTime(day.startOfDay(), seconds, false));
    return records;
}

} // namespace

TEST(SharedTotalsFolder, eachFaultOfASyncedFileIsLoggedOnceAndNeverCountedAsAWholeDay)
{
    const QByteArray whole = nameLine(1, "Desk, upstairs") + csvHeader + "2026-12-06,50,50s,false\n";
    const struct {
        const char* file;
        QByteArray contents;
        qint64 yesterday, today;
        const char* logged;
        bool inactive;
    } cases[] = {
        {"desk.csv", whole + "2026-12-07,1234,20m 34s,false\n", 50, 1234, "", false},
        {"desk.csv", whole + "2026-12-07,12", 50, 0, "read in part", false},
        {"desk.csv", nameLine(1, "Desk").left(10), 0, 0, "not read", false},
        {"desk.csv", nameLine(1, "Desk") + csvHeader + "2026-12-07,12,x\n", 0, 0, "not read", false},
        {"desk.sync-conflict-20261207-101010-ABCDEFG.csv", whole, 0, 0, "conflict copy", false},
        {"desk (conflicted copy 2026-12-07).csv", whole, 0, 0, "conflict copy", false},
        {"desk.csv", nameLine(2, "Desk") + "day;seconds\n2026-12-07;99\n", 0, 0, "newer than this version",
         false},
        {"old.csv", nameLine(1, "Old") + csvHeader + "2026-11-06,70,1m 10s,false\n", 0, 0, "silent", true},
        {"old.csv", nameLine(1, "Old") + csvHeader + "2026-11-07,70,1m 10s,false\n", 0, 0, "", false},
        {"mine.csv", whole, 0, 0, "", false}, // this computer's own id: never read as another's
        {".syncthing.desk.csv.tmp", whole, 0, 0, "", false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE((row.file + (" / " + row.contents.right(20))).toStdString());
        QTemporaryDir folder;
        FakeClock clock(today.startOfDay().addSecs(3600));
        SharedTotalsFolder shared(clock.clock(), [] { return days({{today, 10}}); });
        ASSERT_TRUE(writeFile(folder.filePath(u"Lumatick/"_s + QString::fromUtf8(row.file)), row.contents));
        LogCapture log;
        shared.start(folder.path(), u"mine"_s, u"Laptop"_s);
        shared.publish();
        shared.rescan(); // a second reading of the same fault logs nothing more
        EXPECT_EQ(shared.allComputersSeconds(today.addDays(-1), 0), row.yesterday);
        EXPECT_EQ(shared.allComputersSeconds(today, 10), 10 + row.today);
        EXPECT_EQ(log.count(QtWarningMsg), *row.logged ? 1 : 0);
        EXPECT_EQ(log.count(QtWarningMsg, QString::fromUtf8(row.logged)), *row.logged ? 1 : 0);
        const QList<SharedTotalsFolder::Computer> computers = shared.computers();
        EXPECT_EQ(!computers.isEmpty() && computers.first().inactive, row.inactive);
        if (qstrcmp(row.file, "mine.csv") != 0) { // nothing but its own file is ever written
            EXPECT_EQ(readFile(folder.filePath(u"Lumatick/"_s + QString::fromUtf8(row.file))), row.contents);
        }
        EXPECT_EQ(readFile(folder.filePath(u"Lumatick/mine.csv"_s)).left(40),
                  (nameLine(1, "Laptop") + csvHeader).left(40));
    }
}

TEST(SharedTotalsFolder, daysAreSummedAcrossComputersAndTheFolderFaultsLeaveTheReasonToShow)
{
    QTemporaryDir folder;
    FakeClock clock(today.startOfDay().addSecs(3600));
    QList<DailyScreenTime> deskDays = days({{today, 100}, {today.addDays(-1), 7}});
    SharedTotalsFolder desk(clock.clock(), [&] { return deskDays; });
    SharedTotalsFolder laptop(clock.clock(), [] { return days({{today, 30}}); });
    desk.start(folder.path(), u"desk"_s, u"Desk"_s);
    laptop.start(folder.path(), u"laptop"_s, u"Laptop"_s);
    EXPECT_TRUE(desk.publish() && laptop.publish());
    desk.rescan();
    laptop.rescan();
    EXPECT_EQ(desk.allComputersSeconds(today, 120), 150); // its own live figure, not its file's 100
    EXPECT_EQ(laptop.allComputersSeconds(today, 40), 140);
    EXPECT_EQ(laptop.allComputersSeconds(today.addDays(-1), 0), 7);
    EXPECT_EQ(laptop.allComputersDays({{today, 40}, {today.addDays(-3), 9}}),
              (QMap<QDate, qint64>{{today.addDays(-3), 9}, {today.addDays(-1), 7}, {today, 140}}));
    QSignalSpy changed(&laptop, &SharedTotalsFolder::totalsChanged);
    laptop.rescan(); // the minute's reading with nothing new says nothing
    deskDays = days({{today, 160}});
    desk.publish();
    laptop.rescan();
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(laptop.allComputersSeconds(today, 40), 200);
    EXPECT_EQ(laptop.allComputersSeconds(today.addDays(-1), 0), 0);
    // Caught mid-write, the desk's file keeps today's last whole figure until the line is whole.
    const QString deskFile = folder.filePath(u"Lumatick/desk.csv"_s);
    const QByteArray written = readFile(deskFile);
    ASSERT_TRUE(writeFile(deskFile, written.left(written.size() - 10)));
    laptop.rescan();
    EXPECT_EQ(laptop.allComputersSeconds(today, 40), 200);

    // A clone claiming the desk's id: the one that finds its file overwritten moves to a new id.
    SharedTotalsFolder clone(clock.clock(), [] { return days({{today, 5}}); });
    QSignalSpy moved(&desk, &SharedTotalsFolder::installationIdChanged);
    clone.start(folder.path(), u"desk"_s, u"Desk"_s);
    clone.publish();
    desk.rescan();
    ASSERT_EQ(moved.size(), 1);
    EXPECT_NE(desk.installationId(), u"desk"_s);
    EXPECT_TRUE(desk.tookNewId() && !clone.tookNewId());
    laptop.rescan();
    EXPECT_EQ(laptop.allComputersSeconds(today, 40), 40 + 160 + 5);

    // A plain file where the folder's Lumatick folder belongs: as unwritable as a read-only mount,
    // even for root.
    const QString blocked = folder.filePath(u"blocked"_s);
    ASSERT_TRUE(writeFile(blocked + u"/Lumatick"_s, "not a folder"));
    laptop.start(blocked, u"laptop"_s, u"Laptop"_s);
    EXPECT_FALSE(laptop.publish());
    EXPECT_TRUE(laptop.problem().startsWith(u"The folder %1 cannot be written"_s.arg(blocked)))
        << laptop.problem().toStdString();
    laptop.start(folder.path(), u"laptop"_s, u"Laptop"_s);
    EXPECT_TRUE(laptop.publish());
    EXPECT_EQ(laptop.problem(), QString());
    laptop.start(folder.filePath(u"gone"_s), u"laptop"_s, u"Laptop"_s);
    EXPECT_FALSE(laptop.publish());
    EXPECT_EQ(laptop.problem(), u"The folder %1 does not exist."_s.arg(folder.filePath(u"gone"_s)));
    EXPECT_EQ(laptop.allComputersSeconds(today, 40), 40);
}
