#include "ShortcutModifiers.h"

namespace ShortcutModifiers {

qint64 fromKeyboardModifiers(Qt::KeyboardModifiers modifiers)
{
    qint64 stored = 0;
    if (modifiers & Qt::ShiftModifier)
        stored |= shift;
    if (modifiers & Qt::ControlModifier)
        stored |= control;
    if (modifiers & Qt::AltModifier)
        stored |= option;
    if (modifiers & Qt::MetaModifier)
        stored |= command;
    return stored;
}

int hotKeyFlags(qint64 stored)
{
    const qint64 low = stored & 0xFFFFFFFF;
    return static_cast<int>(low & (command | shift | option | control));
}

bool qualifiesAsShortcut(qint64 stored)
{
    return (stored & qualifyingMask) != 0;
}

} // namespace ShortcutModifiers
