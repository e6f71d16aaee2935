#pragma once

#include <QString>

// Whether a pause shortcut is recorded: a key code of 0 is a real key, only a negative code or
// an empty key character means none.
bool isShortcutRecorded(qint64 keyCode, const QString& keyChar);

// The shortcut as the panel and the settings window show it: the modifier symbols in the fixed
// order control, option, shift, command, then the key character as stored. Empty without a key.
QString shortcutDisplayText(qint64 modifiers, const QString& keyChar);

// The same shortcut in words for screen readers, which speak the symbols as nothing at all:
// "Control Shift P". On this desktop option is the Alt key and command the Super key.
QString shortcutSpokenText(qint64 modifiers, const QString& keyChar);
