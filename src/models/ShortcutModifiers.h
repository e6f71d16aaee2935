#pragma once

#include <Qt>
#include <QtGlobal>

// The pause shortcut's modifiers as stored in the preferences: the device-independent key
// event flags, whatever keyboard toolkit recorded them.
namespace ShortcutModifiers {
constexpr qint64 capsLock = 0x10000;
constexpr qint64 shift = 0x20000;
constexpr qint64 control = 0x40000;
constexpr qint64 option = 0x80000;
constexpr qint64 command = 0x100000;
// The part of a key event's flags that does not depend on the device.
constexpr qint64 deviceIndependentMask = 0xFFFF0000;
// Control, option or command: shift alone does not make a shortcut.
constexpr qint64 qualifyingMask = 0x1C0000;

// Qt's modifiers in the stored bits: Ctrl is control, Alt is option, Meta (Super) is command.
qint64 fromKeyboardModifiers(Qt::KeyboardModifiers modifiers);

// Only the four modifiers a system-wide hot key can carry (caps lock and the rest dropped),
// still in the stored bits; only the low 32 bits of a stored value are looked at.
int hotKeyFlags(qint64 stored);

// Whether a recorded key press carries at least one modifier that makes it a shortcut.
bool qualifiesAsShortcut(qint64 stored);
} // namespace ShortcutModifiers
