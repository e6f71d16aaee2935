#pragma once

#include "Preferences.h"
#include "PrivateBus.h"

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The real binary started as a user would, against two private buses and the sandboxed
// folders of this test binary, with whatever it keeps in the store read back from the file.
class EndToEndTest : public testing::Test {
public:
    EndToEndTest();

protected:
    static constexpr int startTimeoutMs = 20'000;

    void SetUp() override;
    void TearDown() override;

    // Our two buses and no graphical session, so the run is the same on a developer's desktop
    // and in CI. Subclasses add a display.
    virtual QProcessEnvironment environment() const;

    // Started, not waited for; ended by TearDown if the test leaves it running.
    QProcess* startLumatick(const QStringList& arguments);
    // Runs a short command such as `ctl pause` to its end while this process keeps answering
    // on the bus; the exit code, or nothing when it crashed or hung.
    std::optional<int> runLumatick(const QStringList& arguments);

    // Today's record as the store file holds it, read the way another process would.
    std::optional<qint64> storedToday();
    // Writes today's record before the application starts, as an earlier run would have.
    bool seedToday(qint64 totalSeconds);

    // Polls while the event loop runs, so fakes hosted by this process keep answering.
    static bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

    PrivateBus m_sessionBus;
    PrivateBus m_systemBus;
    // A fresh name each time: Qt hands out a connection already made under a name, and the bus
    // of an earlier test is gone.
    const QString m_connectionName;
    QDBusConnection m_bus;
    Preferences m_preferences;

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};
