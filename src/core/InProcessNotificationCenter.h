#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Carries the few in-process notifications that need an immediate reaction (a changed
// summary schedule or shortcut, a pressed hot key). Delivery is queued to the observer's
// thread (the main thread), so a poster never re-enters its observers.
class InProcessNotificationCenter : public QObject {
    Q_OBJECT
public:
    static inline const QString notifPrefsChanged = QStringLiteral("LumatickNotifPrefsChanged");
    static inline const QString shortcutChanged = QStringLiteral("LumatickShortcutChanged");
    static inline const QString hotKeyPressed = QStringLiteral("LumatickHotKeyPressed");

    using QObject::QObject;

    void post(const QString& name);

    // The observation ends when `context` is destroyed or the returned handle is passed to
    // QObject::disconnect(), so a handler never outlives the object it refers to.
    QMetaObject::Connection observe(const QString& name, const QObject* context,
                                    std::function<void()> handler);

Q_SIGNALS:
    void posted(const QString& name);
};
