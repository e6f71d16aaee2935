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

int hotKeyMask(qint64 stored)
{
    const int flags = hotKeyFlags(stored);
    int mask = 0;
    if (flags & command)
        mask |= 0x0100;
    if (flags & shift)
        mask |= 0x0200;
    if (flags & option)
        mask |= 0x0800;
    if (flags & control)
        mask |= 0x1000;
    return mask;
}

bool qualifiesAsShortcut(qint64 stored)
{
    return (stored & qualifyingMask) != 0;
}

} // namespace ShortcutModifiers
