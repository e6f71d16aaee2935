#pragma once

#include <QObject>

// Watches the key presses that reach the application's own windows for the pause shortcut:
// a system-wide grab does not see keys typed into our windows on every desktop, and where no
// grab exists at all the shortcut still works while one of our windows has the focus. A match
// is swallowed; every other press passes on untouched.
class ShortcutKeyMonitor : public QObject {
    Q_OBJECT
public:
    // keyCode is the native key code, modifiers the stored flags, compared exactly.
    ShortcutKeyMonitor(int keyCode, qint64 modifiers, QObject* parent = nullptr);
    ~ShortcutKeyMonitor() override;

Q_SIGNALS:
    void triggered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const quint32 m_keyCode;
    const qint64 m_modifiers;
};
