#pragma once

#include "FakeDesktopServices.h"
#include "PrivateBus.h"

#include <QDBusConnection>
#include <QThread>

#include <functional>
#include <memory>

// Two private buses, one standing in for the session bus and one for the system bus, with
// the fake desktop services the test chooses to start. The code under test gets its own
// connections (appSession, appSystem), distinct from the ones the fakes own their names on.
class FakeDesktop {
public:
    static constexpr const char* sessionId = "2";
    static constexpr const char* sessionPath = "/org/freedesktop/login1/session/_32";

    FakeDesktop();
    ~FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    bool isRunning() const;
    QDBusConnection appSession() const { return m_appSession; }
    QDBusConnection appSystem() const { return m_appSystem; }

    FakeLogindManager& startLogind();
    FakeLogindSession& logindSession() { return *m_session; }
    FakeMutterIdleMonitor& startMutter();
    FakeScreenSaver& startScreenSaver();
    void stopMutter();

    void sendPrepareForSleep(bool goingToSleep);
    void sendLockedHint(bool locked, const QString& path = QString::fromLatin1(sessionPath));
    void sendLockedHintInvalidated();
    void sendScreenSaverActive(const QString& service, const QString& path, bool active);

    // Until the condition holds or two seconds pass, handling events meanwhile.
    static bool waitFor(const std::function<bool()>& condition);
    // A round trip on each of the code's connections, so its match rules are in place.
    void syncWithBuses() const;
    // Returns once every signal the fakes sent so far has reached the code under test.
    bool flushSignals();

private:
    void adopt(QObject* fake);
    void send(QDBusConnection& connection, const QString& path, const QString& interface, const QString& name,
              const QVariantList& arguments);

    PrivateBus m_sessionBus;
    PrivateBus m_systemBus;
    QDBusConnection m_fakeSession;
    QDBusConnection m_fakeSystem;
    QDBusConnection m_appSession;
    QDBusConnection m_appSystem;
    SignalMarker m_marker;
    QThread m_serviceThread;
    std::unique_ptr<FakeLogindManager> m_manager;
    std::unique_ptr<FakeLogindSession> m_session;
    std::unique_ptr<FakeMutterIdleMonitor> m_mutter;
    std::unique_ptr<FakeScreenSaver> m_screenSaver;
};
