#pragma once

#include "FakeDesktopServices.h"
#include "PrivateBus.h"

#include <QDBusConnection>
#include <QThread>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

// A private session bus with fake desktop services on a thread of their own, so the blocking
// calls the code under test makes from the main thread get answered. The code under test gets
// its own connection (app), distinct from the one the fakes own their names on.
class FakeServiceBus {
public:
    FakeServiceBus();
    ~FakeServiceBus();
    FakeServiceBus(const FakeServiceBus&) = delete;
    FakeServiceBus& operator=(const FakeServiceBus&) = delete;

    bool isRunning() const;
    QDBusConnection app() const { return m_app; }
    QDBusConnection fake() const { return m_fake; }

    // Moves the fake to the service thread, keeps it until the bus goes, and exports its slots
    // and properties at path as service.
    template <typename Fake>
    Fake& publish(std::unique_ptr<Fake> fake, const QString& service, const QString& path)
    {
        Fake& published = *fake;
        adopt(std::move(fake), service, path);
        return published;
    }
    void withdraw(const QString& service);

    void sendSignal(const QString& path, const QString& interface, const QString& name,
                    const QVariantList& arguments);

    // A round trip on the app's connection, so its match rules are in place.
    void syncWithBus() const;
    // Until the condition holds or two seconds pass, handling events meanwhile.
    static bool waitFor(const std::function<bool()>& condition);
    // Returns once every signal the fakes sent so far has reached the code under test.
    bool flushSignals();

private:
    void adopt(std::unique_ptr<QObject> fake, const QString& service, const QString& path);

    PrivateBus m_bus;
    QDBusConnection m_fake;
    QDBusConnection m_app;
    SignalMarker m_marker;
    QThread m_serviceThread;
    std::vector<std::unique_ptr<QObject>> m_fakes;
};
