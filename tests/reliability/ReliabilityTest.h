#pragma once

#include "FakeStatusNotifierWatcher.h"
#include "Preferences.h"
#include "PrivateBus.h"
#include "WaitUntil.h"
#include "XvfbServer.h"

#include <QDBusConnection>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <optional>
#include <vector>

// The real binary started as the user's session would start it, against two private buses and
// the sandboxed folders of this test binary, and then disturbed: killed, terminated, its files
// taken away, its clock moved. Its log goes to a file so the tests can read what it reported.
class ReliabilityTest : public testing::Test {
public:
    ReliabilityTest();

protected:
    static constexpr int startTimeoutMs = 20'000;

    void SetUp() override;
    void TearDown() override;
    // Our two buses and no graphical session, so the run is the same on a developer's desktop
    // and in CI. Subclasses add a display.
    virtual QProcessEnvironment environment() const;

    // Started, not waited for, with `additions` joining the environment, its standard output
    // kept for reading; ended by TearDown if the test leaves it running.
    // `wrapper` runs the counter, as `setpriv ... --` does.
    QProcess* launch(const QStringList& arguments, const QProcessEnvironment& additions = {},
                     const QStringList& wrapper = {});
    QProcess* startHeadless(const QProcessEnvironment& additions = {})
    {
        return launch({QStringLiteral("--headless")}, additions);
    }
    // Runs a short command such as `ctl pause` to its end while this process keeps answering
    // on the bus; the exit code, or nothing when it crashed or hung.
    std::optional<int> runLumatick(const QStringList& arguments);
    // Everything the process wrote to its error channel so far.
    QString logOf(const QProcess* process) const;

    // A property of the running counter's control interface; invalid while it does not answer.
    QVariant controlProperty(const char* name);
    std::optional<qint64> liveSeconds();
    // The last count read while the counter runs on for `milliseconds`.
    std::optional<qint64> liveSecondsAfter(int milliseconds);
    bool waitUntilAnswering();
    // Until the live count reaches `seconds`; the last count read, or nothing on a timeout.
    std::optional<qint64> waitForLiveSeconds(qint64 seconds);
    // The signal, then the exit code; nothing when the process crashed or hung.
    static std::optional<int> terminate(QProcess* process, int signal = SIGTERM);

    // Day key (Unix seconds of the day's local start) -> total seconds, read straight from
    // SQLite the way another process would; a failure of the test when the file does not
    // open, fails SQLite's integrity check or holds a day twice.
    QMap<qint64, qint64> readStore() const;
    bool seedDay(const QDate& day, qint64 totalSeconds);
    static qint64 dayKey(const QDate& day);
    QString storeDirectory() const;

    // A wall clock and timers ten times as fast from a fixed moment of acceleratedDay(), so a
    // run of seconds covers the minute between periodic saves; empty without libfaketime.
    QProcessEnvironment acceleratedClock();
    static QDate acceleratedDay() { return {2026, 6, 10}; }

    // Storage faults; false when not permitted here (mounting needs root). Root gets a read-only bind mount
    // (root ignores file modes); others a folder and files without write permission.
    bool makeReadOnly(const QString& directory);
    void makeWritable(const QString& directory);
    bool mountSmallFileSystem(const QString& directory, const QString& size);
    // Every byte left taken by `file`.
    static bool fillDisk(QFile& file);
    void unmount(const QString& directory);

    // Makes the counter believe it is `moment` from now on (libfaketime, re-read at every
    // call); false when libfaketime is not installed.
    bool setFakeTime(const QDateTime& moment);
    bool fakeTimeAvailable() const;
    QProcessEnvironment fakeTimeEnvironment() const;

    PrivateBus m_sessionBus;
    PrivateBus m_systemBus;
    // A fresh name each time: Qt hands out a connection already made under a name, and the bus
    // of an earlier test is gone.
    const QString m_connectionName;
    QDBusConnection m_bus;
    Preferences m_preferences;

private:
    bool writeFakeTime(const QByteArray& setting);
    static bool runTool(const QString& program, const QStringList& arguments);
    bool mountReadOnly(const QString& directory);
    static bool setWritable(const QString& directory, bool writable);

    QTemporaryDir m_scratch;
    QStringList m_mounts;
    QStringList m_readOnlyFolders;
    QMap<const QProcess*, QString> m_logFiles;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

// Needs libfaketime (skipped without it); `m_clock` runs ten times as fast.
class FastClockTest : public ReliabilityTest {
protected:
    void SetUp() override
    {
        ReliabilityTest::SetUp();
        if (!fakeTimeAvailable())
            GTEST_SKIP() << "libfaketime is not installed";
        m_clock = acceleratedClock();
    }

    QProcessEnvironment m_clock;
};

// The counter in its usual form: a status item on a panel, with a display for its windows.
// The panel's watcher lives in this process on the private session bus.
class PanelSessionTest : public ReliabilityTest {
protected:
    void SetUp() override
    {
        ReliabilityTest::SetUp();
        ASSERT_TRUE(m_display.isRunning());
        ASSERT_TRUE(m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &m_watcher,
                                         QDBusConnection::ExportAllContents));
        ASSERT_TRUE(m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }

    QProcessEnvironment environment() const override
    {
        QProcessEnvironment environment = ReliabilityTest::environment();
        environment.insert(QStringLiteral("DISPLAY"), m_display.displayName());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return environment;
    }

    QProcess* startPanel(const QProcessEnvironment& additions = {})
    {
        QProcess* app = launch({}, additions);
        EXPECT_TRUE(waitUntil([this] { return !m_watcher.registrations().isEmpty(); }, startTimeoutMs))
            << "the status item never registered with the watcher\n"
            << logOf(app).toStdString();
        return app;
    }

    // Any mapped window of ours on the display: the application has none but the panel.
    bool windowIsVisible() const
    {
        return m_display.run(QStringLiteral("xdotool"),
                             {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--classname"), QStringLiteral("lumatick")});
    }

    XvfbServer m_display;
    FakeStatusNotifierWatcher m_watcher;
};
