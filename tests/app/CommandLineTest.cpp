#include "CsvExport.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "StoreOpener.h"

#include "FileContents.h"
#include "PrivateBus.h"
#include "QtPrinters.h"
#include "WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

struct ProcessRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// This environment with the session bus at `address`.
QProcessEnvironment withSessionBus(const QString& address)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    return environment;
}

// A session bus nobody listens on, so no test ever meets an instance running on the real one.
QProcessEnvironment withoutSessionBus()
{
    return withSessionBus(u"unix:path=/nonexistent/lumatick-test-bus"_s);
}

// The real binary, in this test's sandboxed XDG directories. The event loop keeps turning while
// it runs, so a control object in this process can answer it.
ProcessRun lumatick(const QStringList& arguments,
                    const QProcessEnvironment& environment = withoutSessionBus())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LUMATICK_BINARY), arguments);
    const bool finished = waitUntil([&] { return process.state() == QProcess::NotRunning; }, 30'000);
    if (!finished)
        process.kill();
    const bool normal = finished && process.error() == QProcess::UnknownError;
    return {normal ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// A second, raw connection to the store the application writes, as another program would open it.
sqlite3* openStoreDirectly()
{
    sqlite3* store = nullptr;
    sqlite3_open(QDir(StoreOpener::defaultDirectory()).filePath(u"default.store"_s).toUtf8(), &store);
    return store;
}

class CommandLineTest : public testing::Test {
protected:
    void SetUp() override
    {
        QDir(StoreOpener::defaultDirectory()).removeRecursively();
        m_preferences.registerDefaults();
    }

    std::unique_ptr<RecordStore> openWriter()
    {
        return StoreOpener(StoreOpener::defaultDirectory(), m_preferences)
            .open(QDateTime::currentDateTime())
            .store;
    }

    QString file(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    Preferences m_preferences{Preferences::defaultFilePath()};
    const QDate m_today = QDate::currentDate();
};

TEST_F(CommandLineTest, exportAndStatusReadTheStoreWhileTheApplicationWrites)
{
    auto writer = openWriter();
    ASSERT_TRUE(writer);
    writer->saveDayTotal(m_today.startOfDay(), 4 * 3600 + 37 * 60 + 12);
    writer->saveDayTotal(m_today.addDays(-1).startOfDay(), 3600);
    writer->saveDayTotal(m_today.addDays(-2).startOfDay(), 7200);
    writer->saveDayTotal(m_today.addDays(-400).startOfDay(), 59);

    // Another connection in the middle of a write must not block the readers.
    sqlite3* busy = openStoreDirectly();
    ASSERT_EQ(sqlite3_exec(busy, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    const ProcessRun exported = lumatick({u"export"_s});
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, buildCSV(writer->fetch(RecordQuery()), true));

    const ProcessRun status = lumatick({u"status"_s, u"--format"_s, u"json"_s});
    ASSERT_EQ(status.exitCode, 0) << status.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(status.out).object(),
              QJsonObject({{u"current_streak"_s, 0},
                           {u"paused"_s, false},
                           {u"seven_day_average_seconds"_s, 5400},
                           {u"source"_s, u"store"_s},
                           {u"tier"_s, u"yellow"_s},
                           {u"today_seconds"_s, 16632},
                           {u"today_text"_s, u"4h 37m 12s"_s},
                           {u"yesterday_seconds"_s, 3600}}));
    // Shared with a desktop: the status adds its figure for today, and reading writes nothing there.
    const QString desktop = file(u"Sync/Lumatick/desktop.csv"_s);
    writeFile(desktop,
              "lumatick-shared-totals,1,Desk, \"den\"\ndate,total_seconds,total_formatted,goal_met\n" +
                  m_today.toString(u"yyyy-MM-dd"_s).toUtf8() + ",100,1m 40s,false\n");
    const auto allComputers = [&](const QStringList& share) {
        EXPECT_EQ(lumatick(QStringList{u"share"_s} + share).exitCode, 0);
        return QJsonDocument::fromJson(lumatick({u"status"_s, u"--format"_s, u"json"_s}).out)
            .object()
            .value(u"all_computers_today_seconds"_s)
            .toInteger(-1);
    };
    EXPECT_EQ(allComputers({u"--folder"_s, file(u"Sync"_s), u"--name"_s, u"Laptop"_s}), 16632 + 100);
    EXPECT_TRUE(lumatick({u"status"_s}).out.contains("(yellow)\nAll computers: 4h 38m 52s\nYesterday: 1h"));
    EXPECT_EQ(QDir(file(u"Sync/Lumatick"_s)).entryList(QDir::Files), QStringList{u"desktop.csv"_s});
    // With a computer column, this computer's line first; the others' goals are theirs to know.
    const QByteArray day = m_today.toString(u"yyyy-MM-dd"_s).toUtf8();
    EXPECT_TRUE(lumatick({u"export"_s, u"--all-computers"_s})
                    .out.endsWith(day + ",16632,4h 37m 12s,false,Laptop\n" + day +
                                  ",100,1m 40s,,\"Desk, \"\"den\"\"\"\n"));
    EXPECT_EQ(allComputers({u"--off"_s}), -1);
    EXPECT_EQ(lumatick({u"export"_s, u"--all-computers"_s}).exitCode, 1);

    const QJsonObject module =
        QJsonDocument::fromJson(lumatick({u"status"_s, u"--format=waybar"_s}).out).object();
    EXPECT_EQ(module.value(u"class"_s).toString(), u"yellow"_s);
    EXPECT_EQ(module.value(u"text"_s).toString(), u"4h 37m 12s"_s);
    EXPECT_EQ(module.value(u"percentage"_s).toInt(), 92);

    sqlite3_exec(busy, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(busy);

    // A save made after the first export shows in the next one.
    writer->saveDayTotal(m_today.startOfDay(), 20000);
    const ProcessRun again = lumatick({u"export"_s, u"-o"_s, file(u"out.csv"_s)});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(readFile(file(u"out.csv"_s)).contains(",20000,5h 33m 20s,"));
}

TEST_F(CommandLineTest, importThenExportGivesBackTheSameBytes)
{
    const QByteArray backup("date,total_seconds,total_formatted,goal_met\n"
                            "2025-03-29,16632,4h 37m 12s,true\n"
                            "2025-03-30,45,45s,false\n"
                            "2025-03-31,90000,25h 00m 00s,false\n");
    writeFile(file(u"backup.csv"_s), backup);
    auto writer = openWriter();
    writer->saveDayTotal(QDate(2025, 3, 30).startOfDay(), 999);

    const ProcessRun imported = lumatick({u"import"_s, file(u"backup.csv"_s)});
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(lumatick({u"export"_s}).out, backup);

    // CRLF endings, as a spreadsheet saves them, are read the same way.
    QByteArray crlf = backup;
    crlf.replace("\n", "\r\n").replace("16632", "100");
    writeFile(file(u"crlf.csv"_s), crlf);
    EXPECT_EQ(lumatick({u"import"_s, file(u"crlf.csv"_s)}).exitCode, 0);
    EXPECT_TRUE(lumatick({u"export"_s}).out.contains("2025-03-29,100,1m 40s,true\n"));
}

TEST_F(CommandLineTest, malformedImportNamesTheLineAndWritesNothing)
{
    auto writer = openWriter();
    writer->saveDayTotal(QDate(2025, 1, 1).startOfDay(), 5);
    const QByteArray before = lumatick({u"export"_s}).out;
    const QByteArray header("date,total_seconds,total_formatted,goal_met\n");
    const QByteArray good("2025-01-01,60,1m 00s,false\n");
    const struct {
        const char* name;
        QByteArray contents;
        QString expectedPlace;
    } cases[] = {
        {"empty file", "", u"bad.csv: the file is empty"_s},
        {"wrong header", "day,seconds\n" + good, u"bad.csv:1: expected the header"_s},
        {"several computers",
         "date,total_seconds,total_formatted,goal_met,computer\n2025-01-01,60,1m 00s,false,Desk\n",
         u"bad.csv:1: this file holds the days of several computers"_s},
        {"impossible date", header + good + "2025-02-30,1,1s,false\n", u"bad.csv:3:"_s},
        {"negative total", header + good + "2025-01-02,-5,0s,false\n", u"bad.csv:3:"_s},
        {"non-numeric total", header + "2025-01-02,12a,12s,false\n", u"bad.csv:2:"_s},
        {"day given twice", header + good + "2025-01-01,70,1m 10s,false\n", u"bad.csv:3:"_s},
        {"bad goal flag", header + "2025-01-02,1,1s,yes\n", u"bad.csv:2:"_s},
        {"missing field", header + "2025-01-02,1,false\n", u"bad.csv:2:"_s},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        writeFile(file(u"bad.csv"_s), testCase.contents);
        const ProcessRun run = lumatick({u"import"_s, file(u"bad.csv"_s)});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(testCase.expectedPlace)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(u"nothing was imported"_s)) << run.err.toStdString();
        EXPECT_EQ(lumatick({u"export"_s}).out, before);
    }
}

TEST_F(CommandLineTest, badArgumentsExitWithStatusTwo)
{
    const QStringList calls =
        u"frobnicate|--no-such-option|status --format xml|status extra|export -x|export -o|"
        u"import|import a.csv b.csv|ctl|ctl stop|ctl pause resume|ctl --now pause|ctl pause --for 15x|"
        u"ctl pause --for 0s|ctl pause --for 169h|ctl resume --until-tomorrow|ctl pause --for 1h "
        u"--until-tomorrow|"
        u"share --off --folder /tmp|share --name Desk|share extra"_s.split(u'|');
    for (const QString& call : calls) {
        SCOPED_TRACE(call.toStdString());
        const ProcessRun run = lumatick(call.split(u' '));
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_TRUE(run.out.isEmpty());
    }
    // The panel without any display: one line on what to do instead of Qt's abort.
    QProcessEnvironment noDesktop = withoutSessionBus();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        noDesktop.remove(QString::fromLatin1(name));
    const ProcessRun panel = lumatick({}, noDesktop);
    EXPECT_EQ(panel.exitCode, 2);
    EXPECT_TRUE(panel.err.endsWith(u"\"lumatick --headless\" counts without a panel.\n"_s))
        << panel.err.toStdString();
    EXPECT_EQ(panel.err.count(u'\n'), 1);
    EXPECT_EQ(lumatick({u"export"_s, u"-o"_s, u"/nonexistent/dir/x.csv"_s}).exitCode, 1);
    EXPECT_EQ(lumatick({u"import"_s, u"/nonexistent.csv"_s}).exitCode, 1);
    EXPECT_EQ(lumatick({u"share"_s, u"--folder"_s, u"/nonexistent/Sync"_s}).exitCode, 1);
}

// The records table gone (a damaged or foreign store): export fails with the reason and never
// replaces an earlier export with a header-only file.
TEST_F(CommandLineTest, unreadableRecordsFailTheExportAndKeepAnEarlierOne)
{
    openWriter()->saveDayTotal(m_today.startOfDay(), 60);
    sqlite3* store = openStoreDirectly();
    ASSERT_EQ(sqlite3_exec(store, "DROP TABLE DailyScreenTime", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(store);
    writeFile(file(u"earlier.csv"_s), "earlier export\n");
    for (const QStringList& call :
         {QStringList{u"export"_s}, {u"export"_s, u"-o"_s, file(u"earlier.csv"_s)}}) {
        const ProcessRun run = lumatick(call);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(u"no such table: DailyScreenTime"_s)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(readFile(file(u"earlier.csv"_s)), QByteArray("earlier export\n"));
}

// Status bars call status every second or so: without an instance to ask (no bus at all, or
// nobody on it) status reads the store (none yet: zero) and ctl says there is nothing to control.
TEST_F(CommandLineTest, withoutARunningInstanceStatusReadsTheStoreAndCtlSaysSo)
{
    PrivateBus emptyBus;
    ASSERT_TRUE(emptyBus.isRunning());
    QProcessEnvironment unset = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY"})
        unset.remove(QString::fromLatin1(name));
    for (const QProcessEnvironment& environment :
         {unset, withSessionBus(emptyBus.address()), withoutSessionBus()}) {
        const ProcessRun status = lumatick({u"status"_s, u"--format"_s, u"json"_s}, environment);
        ASSERT_EQ(status.exitCode, 0) << status.err.toStdString();
        EXPECT_EQ(QJsonDocument::fromJson(status.out).object().value(u"source"_s).toString(), u"store"_s);
        EXPECT_EQ(QJsonDocument::fromJson(status.out).object().value(u"today_seconds"_s).toInt(-1), 0);
        const ProcessRun ctl = lumatick({u"ctl"_s, u"pause"_s}, environment);
        EXPECT_EQ(ctl.exitCode, 1);
        EXPECT_TRUE(ctl.err.contains(u"Lumatick is not running"_s)) << ctl.err.toStdString();
        EXPECT_TRUE(ctl.out.isEmpty());
    }
    // Without any store yet, export is the header alone, and reading creates no store.
    EXPECT_EQ(lumatick({u"export"_s}).out, QByteArray("date,total_seconds,total_formatted,goal_met\n"));
    EXPECT_FALSE(QFile::exists(QDir(StoreOpener::defaultDirectory()).filePath(u"default.store"_s)));
}

} // namespace
