#pragma once

#include "PortalShortcut.h"

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <atomic>

// The desktop portal's org.freedesktop.portal.GlobalShortcuts: answers each call with a
// request object path and then sends Response on it, as the portal does. Also serves
// org.freedesktop.portal.Session.Close at each session it creates. Lives on the fake bus's
// service thread, so everything the test reads is guarded.
class FakeGlobalShortcutsPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)
public:
    static constexpr const char* service = "org.freedesktop.portal.Desktop";
    static constexpr const char* path = "/org/freedesktop/portal/desktop";

    struct Binding {
        QString session;
        QString signature;
        QList<PortalShortcut> shortcuts;
        QString parentWindow;
        QVariantMap options;
    };

    FakeGlobalShortcutsPortal();

    uint version() const { return m_version; }
    void setVersion(uint version) { m_version = version; }
    // The response code BindShortcuts answers with: 0 granted, 1 cancelled, 2 failed.
    void setBindResponse(uint response) { m_bindResponse = response; }
    // Sends Response before the method reply, which the portal is free to do.
    void setRespondBeforeReplying(bool early) { m_respondEarly = early; }

    QList<QVariantMap> sessionRequests() const;
    QStringList sessions() const;
    QList<Binding> bindings() const;
    QStringList closedSessions() const;

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap& options);
    QDBusObjectPath BindShortcuts(const QDBusObjectPath& session, const QList<PortalShortcut>& shortcuts,
                                  const QString& parentWindow, const QVariantMap& options);
    void Close();

private:
    QString objectPath(const QString& kind, const QString& token) const;
    QDBusObjectPath answer(const QVariantMap& options, uint response, const QVariantMap& results);

    std::atomic<uint> m_version = 1;
    std::atomic<uint> m_bindResponse = 0;
    std::atomic<bool> m_respondEarly = false;
    mutable QMutex m_mutex;
    QList<QVariantMap> m_sessionRequests;
    QStringList m_sessions;
    QList<Binding> m_bindings;
    QStringList m_closedSessions;
    int m_tokens = 0;
};
