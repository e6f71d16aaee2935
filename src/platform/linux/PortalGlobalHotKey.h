#pragma once

#include "GlobalHotKey.h"

#include <QDBusConnection>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

class QDBusMessage;
class QDBusObjectPath;
class QDBusPendingCallWatcher;

// The pause shortcut through the desktop portal's GlobalShortcuts interface, for Wayland
// sessions where no client can grab keys. The portal works in sessions: we create one, bind
// our single shortcut in it, and hear Activated for it. Each portal call answers with a
// request object whose Response signal carries the outcome. Binding is asynchronous and the
// portal may ask the user, so registerHotKey only tells whether the request went out;
// isBound() tells whether the portal accepted it.
class PortalGlobalHotKey : public GlobalHotKey {
    Q_OBJECT
public:
    // The XKB keysym name ("p", "F5") of an X11 key code, or an empty string when unknown.
    using KeyNameProvider = std::function<QString(int keyCode)>;

    static constexpr uint minimumVersion = 1;

    // Without a key name provider no trigger is suggested, and the portal asks the user for one.
    explicit PortalGlobalHotKey(QDBusConnection sessionBus, KeyNameProvider keyName = {},
                                QObject* parent = nullptr);
    ~PortalGlobalHotKey() override;

    static QString shortcutId();
    static QString shortcutDescription();
    // The trigger text the portal expects ("CTRL+ALT+p"); empty when the key has no name.
    static QString preferredTrigger(int modifiers, const QString& keyName);

    // Blocking on first use (the portal may be started on demand); the answer is kept.
    bool isSupported() const override;
    // Until the portal answers, a registration counts as working; a refusal ends that.
    bool worksSystemWide() const override { return isSupported() && !m_refused; }
    bool registerHotKey(int keyCode, int modifiers) override;
    void unregisterHotKey() override;

    bool isBound() const { return m_bound; }
    // The portal's handle of our current session; empty when there is none.
    QString sessionHandle() const { return m_session; }

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results, const QDBusMessage& message);
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);
    void onSessionClosed(const QVariantMap& details, const QDBusMessage& message);
    void onCallFinished(QDBusPendingCallWatcher* watcher);

private:
    enum class Awaiting { nothing, session, binding };
    struct Combination {
        int keyCode = 0;
        int modifiers = 0;
    };

    std::optional<uint> queryVersion() const;
    QString nextToken();
    QString predictedPath(const QString& kind, const QString& token) const;
    void awaitResponse(Awaiting what, const QString& token);
    void stopAwaiting();
    void createSession();
    void bindShortcuts();
    void closeSession();
    void callPortal(const QString& method, const QVariantList& arguments);
    void sessionCreated(const QVariantMap& results);
    void subscribeToActivations();
    QVariantMap shortcutOptions() const;

    QDBusConnection m_bus;
    KeyNameProvider m_keyName;
    std::optional<Combination> m_combination;
    Awaiting m_awaiting = Awaiting::nothing;
    QString m_requestPath;
    QString m_pendingSession;
    QString m_session;
    bool m_bound = false;
    bool m_refused = false;
    bool m_subscribedToActivations = false;
    int m_tokenCount = 0;
    mutable std::optional<bool> m_supported;
};
