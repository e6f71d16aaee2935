#include "ShortcutModifiers.h"

#include <gtest/gtest.h>

using namespace ShortcutModifiers;

TEST(ShortcutModifiersTest, hotKeyMaskCarriesOnlyTheFourModifiers)
{
    EXPECT_EQ(hotKeyMask(command | option | control), 0x1900);
    EXPECT_EQ(hotKeyMask(control | option), 0x1800);
    EXPECT_EQ(hotKeyMask(shift), 0x0200);
    EXPECT_EQ(hotKeyMask(0), 0);
    // Caps lock, the numeric pad (0x200000), help (0x400000) and function (0x800000) are dropped.
    EXPECT_EQ(hotKeyMask(capsLock | 0x200000 | 0x400000 | 0x800000 | shift), 0x0200);
    // Only the low 32 bits count: a flag above them is not a modifier.
    EXPECT_EQ(hotKeyMask((qint64(1) << 32) | control), 0x1000);
    EXPECT_EQ(hotKeyFlags((qint64(1) << 40) | capsLock | command | shift), command | shift);
}

TEST(ShortcutModifiersTest, qtModifiersMapToTheStoredBits)
{
    EXPECT_EQ(fromKeyboardModifiers(Qt::ControlModifier | Qt::AltModifier), control | option);
    EXPECT_EQ(fromKeyboardModifiers(Qt::MetaModifier | Qt::ShiftModifier), command | shift);
    // The keypad flag is not a modifier of a shortcut.
    EXPECT_EQ(fromKeyboardModifiers(Qt::KeypadModifier), 0);
}

TEST(ShortcutModifiersTest, shiftAloneDoesNotMakeAShortcut)
{
    EXPECT_FALSE(qualifiesAsShortcut(0));
    EXPECT_FALSE(qualifiesAsShortcut(shift | capsLock));
    EXPECT_TRUE(qualifiesAsShortcut(shift | control));
    EXPECT_TRUE(qualifiesAsShortcut(option));
    EXPECT_TRUE(qualifiesAsShortcut(command));
}
