#include "SettingsViewFixture.h"

#include "ShortcutModifiers.h"
#include "ShortcutText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

// X11 key codes of the keys pressed below.
constexpr quint32 keyCodeK = 45;
constexpr quint32 keyCodeP = 33;
constexpr quint32 keyCodeEscape = 9;
constexpr quint32 keyCodeControl = 37;

class ShortcutRecordingTest : public SettingsViewFixture {
protected:
    void SetUp() override
    {
        SettingsViewFixture::SetUp();
        m_typingField.show();
        m_typingField.setFocus();
    }

    void storeShortcut(qint64 keyCode, qint64 modifiers, const QString& keyChar)
    {
        m_preferences.setValue(shortcutKeyCode, keyCode);
        m_preferences.setValue(shortcutModifiers, modifiers);
        m_preferences.setValue(shortcutKeyChar, keyChar);
    }

    // Sent to another window's text field: while recording, no key press may reach it.
    void press(int key, Qt::KeyboardModifiers modifiers, quint32 nativeKeyCode,
               const QString& text = QString())
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, nativeKeyCode, 0, 0, text);
        QApplication::sendEvent(&m_typingField, &event);
    }

    void startRecording()
    {
        child<QAbstractButton>(u"recordShortcutButton"_s)->click();
        ASSERT_EQ(label(), u"Press shortcut\u2026"_s);
    }

    QString label() { return child<QLabel>(u"shortcutLabel"_s)->text(); }

    QLineEdit m_typingField;
};

TEST_F(ShortcutRecordingTest, keysWithoutControlAltOrSuperKeepRecordingAndTypeNothing)
{
    startRecording();
    press(Qt::Key_K, Qt::NoModifier, keyCodeK, u"k"_s);
    press(Qt::Key_K, Qt::ShiftModifier, keyCodeK, u"K"_s);
    press(Qt::Key_Control, Qt::ControlModifier, keyCodeControl);
    EXPECT_EQ(label(), u"Press shortcut\u2026"_s);
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), -1);
    EXPECT_TRUE(m_typingField.text().isEmpty());
    EXPECT_EQ(posts(InProcessNotificationCenter::shortcutChanged), 0);
}

TEST_F(ShortcutRecordingTest, escapeEndsRecordingWithTheOldShortcut)
{
    storeShortcut(keyCodeP, ShortcutModifiers::command | ShortcutModifiers::shift, u"P"_s);
    startRecording();
    press(Qt::Key_Escape, Qt::NoModifier, keyCodeEscape);
    EXPECT_EQ(label(), u"\u21E7\u2318P"_s);
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), keyCodeP);
    EXPECT_EQ(posts(InProcessNotificationCenter::shortcutChanged), 0);

    SCOPED_TRACE("after recording, keys reach the application again");
    press(Qt::Key_K, Qt::NoModifier, keyCodeK, u"k"_s);
    EXPECT_EQ(m_typingField.text(), u"k"_s);
}

TEST_F(ShortcutRecordingTest, controlAltKStoresKeyCodeModifiersAndUpperCaseLetterOnce)
{
    startRecording();
    press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, keyCodeK, u"\x0b"_s);
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), keyCodeK);
    EXPECT_EQ(m_preferences.value(shortcutModifiers), ShortcutModifiers::control | ShortcutModifiers::option);
    EXPECT_EQ(m_preferences.value(shortcutKeyChar), u"K"_s);
    EXPECT_EQ(posts(InProcessNotificationCenter::shortcutChanged), 1);
    EXPECT_EQ(label(), u"\u2303\u2325K"_s);
    EXPECT_TRUE(shown(u"clearShortcutButton"_s));

    SCOPED_TRACE("recording has ended: the next press is typed");
    press(Qt::Key_K, Qt::NoModifier, keyCodeK, u"k"_s);
    EXPECT_EQ(m_typingField.text(), u"k"_s);
    EXPECT_EQ(posts(InProcessNotificationCenter::shortcutChanged), 1);
}

TEST_F(ShortcutRecordingTest, shiftIsKeptWithAQualifyingModifierAndNamedKeysKeepTheirName)
{
    startRecording();
    press(Qt::Key_F5, Qt::MetaModifier | Qt::ShiftModifier, 71);
    EXPECT_EQ(m_preferences.value(shortcutModifiers), ShortcutModifiers::command | ShortcutModifiers::shift);
    EXPECT_EQ(m_preferences.value(shortcutKeyChar), u"F5"_s);
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), 71);
}

TEST_F(ShortcutRecordingTest, secondPressOfTheButtonOrHidingTheContentStopsRecording)
{
    startRecording();
    child<QAbstractButton>(u"recordShortcutButton"_s)->click();
    EXPECT_EQ(label(), u"None \u2014 click to set"_s);
    startRecording();
    view().hide();
    EXPECT_EQ(label(), u"None \u2014 click to set"_s);
    press(Qt::Key_K, Qt::ControlModifier, keyCodeK);
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), -1);
}

TEST_F(ShortcutRecordingTest, destroyingTheContentWhileRecordingReleasesTheKeyboard)
{
    startRecording();
    m_view.reset();
    press(Qt::Key_K, Qt::ControlModifier, keyCodeK, u"k"_s);
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), -1);
    press(Qt::Key_K, Qt::NoModifier, keyCodeK, u"k"_s);
    EXPECT_EQ(m_typingField.text(), u"k"_s);
}

TEST_F(ShortcutRecordingTest, clearingStoresNoShortcutAnnouncesItAndHidesTheClearButton)
{
    storeShortcut(keyCodeK, ShortcutModifiers::control, u"K"_s);
    EXPECT_TRUE(shown(u"clearShortcutButton"_s));
    child<QAbstractButton>(u"clearShortcutButton"_s)->click();
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), -1);
    EXPECT_EQ(m_preferences.value(shortcutModifiers), 0);
    EXPECT_EQ(m_preferences.value(shortcutKeyChar), QString());
    EXPECT_EQ(posts(InProcessNotificationCenter::shortcutChanged), 1);
    EXPECT_FALSE(shown(u"clearShortcutButton"_s));
    EXPECT_EQ(label(), u"None \u2014 click to set"_s);
}

TEST_F(ShortcutRecordingTest, keyCodeZeroIsAShortcutThatCanBeCleared)
{
    storeShortcut(0, ShortcutModifiers::control, u"A"_s);
    EXPECT_TRUE(shown(u"clearShortcutButton"_s));
    EXPECT_EQ(label(), shortcutDisplayText(ShortcutModifiers::control, u"A"_s));
}

} // namespace
