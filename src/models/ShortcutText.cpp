#include "ShortcutText.h"

#include <QStringList>

#include <array>

namespace {

struct ModifierSymbol {
    qint64 mask;
    char16_t symbol;
    const char* spoken;
};

// The order is the one people read on keyboards and menus, not the order of the bits.
constexpr std::array modifierSymbols{
    ModifierSymbol{0x40000, u'\u2303', "Control"},
    ModifierSymbol{0x80000, u'\u2325', "Alt"},
    ModifierSymbol{0x20000, u'\u21E7', "Shift"},
    ModifierSymbol{0x100000, u'\u2318', "Super"},
};

} // namespace

bool isShortcutRecorded(qint64 keyCode, const QString& keyChar)
{
    return keyCode >= 0 && !keyChar.isEmpty();
}

QString shortcutDisplayText(qint64 modifiers, const QString& keyChar)
{
    if (keyChar.isEmpty())
        return {};
    QString text;
    for (const ModifierSymbol& modifier : modifierSymbols) {
        if (modifiers & modifier.mask)
            text.append(QChar(modifier.symbol));
    }
    return text + keyChar;
}

QString shortcutSpokenText(qint64 modifiers, const QString& keyChar)
{
    if (keyChar.isEmpty())
        return {};
    QStringList words;
    for (const ModifierSymbol& modifier : modifierSymbols) {
        if (modifiers & modifier.mask)
            words << QLatin1String(modifier.spoken);
    }
    // A lone letter is read as that letter; "Space" and other names stay as they are.
    return (words << keyChar.toUpper()).join(QLatin1Char(' '));
}
