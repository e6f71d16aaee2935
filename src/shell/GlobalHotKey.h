#pragma once

#include <QObject>
#include <QString>

// One system-wide key combination (the pause shortcut). Modifiers use the stored bits:
// control 0x40000, option/Alt 0x80000, shift 0x20000, command/Super 0x100000; the key code is
// the platform's native code of the recorded key.
class GlobalHotKey : public QObject {
    Q_OBJECT
public:
    static constexpr int controlModifier = 0x40000;
    static constexpr int optionModifier = 0x80000;
    static constexpr int shiftModifier = 0x20000;
    static constexpr int commandModifier = 0x100000;

    using QObject::QObject;

    virtual bool isSupported() const = 0;
    // Whether a press reaches us from anywhere on the desktop, not only inside our windows:
    // false where the desktop offers no way, or once it refused the registered combination.
    virtual bool worksSystemWide() const { return isSupported(); }
    // Replaces any earlier registration; false when the combination could not be grabbed.
    virtual bool registerHotKey(int keyCode, int modifiers) = 0;
    virtual void unregisterHotKey() = 0;

Q_SIGNALS:
    // Delivered on the main thread, once per press.
    void pressed();
};
