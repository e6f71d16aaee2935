#include "SettingsView.h"
#include "FakeLoginItem.h"
#include "FakeNotificationCenter.h"
#include "InProcessNotificationCenter.h"
#include "Preferences.h"
#include "ShortcutModifiers.h"
#include "StoreOpener.h"
#include "UpdateControls.h"

#include "FileContents.h"
#include "Find.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include "QtPrinters.h"

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr quint32 keyCodeK = 45; // X11 key codes

class IdleUpdateControls : public UpdateControls {
public:
    bool canCheckForUpdates() const override { return false; }
    bool automaticallyDownloadsUpdates() const override { return true; }
    void setAutomaticallyDownloadsUpdates(bool) override {}
    void checkForUpdates() override {}
};

// The settings window's content over in-memory services, shown as the window shows it.
class SettingsViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_preferences.registerDefaults();
        m_typingField.show();
        open();
    }
    void open()
    {
        m_view.reset();
        m_view = std::make_unique<SettingsView>(m_preferences, m_inProcess, m_notificationCenter, m_loginItem,
                                                m_updates, u"2.4.1"_s);
        m_view->show();
    }

    template <typename T = QWidget>
    T* child(const QString& name)
    {
        return find<T>(*m_view, name);
    }
    bool shown(const QString& name) { return child(name)->isVisibleTo(m_view.get()); }
    QString text(const QString& name) { return child<QLabel>(name)->text(); }
    qsizetype posts(const QString& name) const
    {
        return std::count_if(m_posted.begin(), m_posted.end(),
                             [&name](auto& arguments) { return arguments[0] == name; });
    }
    // Sent to another window's text field: while recording, no key press may reach it.
    void press(int key, Qt::KeyboardModifiers modifiers, quint32 nativeKeyCode, const QString& text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, nativeKeyCode, 0, 0, text);
        QApplication::sendEvent(&m_typingField, &event);
    }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(u"settings.conf"_s)};
    InProcessNotificationCenter m_inProcess;
    QSignalSpy m_posted{&m_inProcess, &InProcessNotificationCenter::posted};
    FakeNotificationCenter m_notificationCenter;
    FakeLoginItem m_loginItem;
    IdleUpdateControls m_updates;
    QLineEdit m_typingField;
    std::unique_ptr<SettingsView> m_view;
};

} // namespace

TEST_F(SettingsViewTest, theDataFoldersAreLinkedAndSummariesShowOnlyWithPermissionEachChangeAnnounced)
{
    // What a user who looks for their data finds: links to the folders that really hold it.
    EXPECT_EQ(text(u"aboutVersion"_s), u"Version 2.4.1"_s);
    const QString store = QUrl::fromLocalFile(StoreOpener::defaultDirectory()).toString();
    EXPECT_TRUE(text(u"storeLocation"_s).contains(u"href=\""_s + store + u'"'))
        << text(u"storeLocation"_s).toStdString();
    const QString settings = QUrl::fromLocalFile(m_dir.path()).toString();
    EXPECT_TRUE(text(u"preferencesLocation"_s).contains(u"href=\""_s + settings + u'"'));
    EXPECT_EQ(
        text(u"notificationsDeniedCaption"_s),
        u"Notifications are disabled. Enable them in System Settings \u2192 Notifications \u2192 Lumatick."_s);
    m_notificationCenter.setAuthorizationStatus(NotificationCenter::AuthorizationStatus::authorized);
    m_view->hide();
    m_view->show();
    EXPECT_FALSE(shown(u"notificationsDeniedCaption"_s));
    child<QCheckBox>(u"dailySummaryToggle"_s)->click();
    EXPECT_EQ(child<QComboBox>(u"dailyHourPicker"_s)->currentText(), u"10:00 PM"_s);
    child<QComboBox>(u"dailyHourPicker"_s)->setCurrentIndex(7);
    child<QCheckBox>(u"weeklySummaryToggle"_s)->click();
    EXPECT_EQ(child<QComboBox>(u"weeklyDayPicker"_s)->itemText(0), u"Sunday"_s);
    child<QComboBox>(u"weeklyDayPicker"_s)->setCurrentIndex(6);
    child<QCheckBox>(u"dailySummaryToggle"_s)->click();
    EXPECT_EQ(posts(InProcessNotificationCenter::notifPrefsChanged), 5);
    EXPECT_FALSE(shown(u"dailyHourPicker"_s));
    EXPECT_EQ(m_preferences.value(dailyNotifHour), 7);
    m_preferences.setValue(weeklyNotifHour, 0);
    EXPECT_EQ(child<QComboBox>(u"weeklyHourPicker"_s)->currentText(), u"12:00 AM"_s);
    EXPECT_EQ(posts(InProcessNotificationCenter::notifPrefsChanged), 5)
        << "a change made elsewhere is not announced";
}

// Qt's first bitmap read loads every image format plugin, the SVG one with Qt's SVG library, and
// the counter would keep them all once the window closed: the settings are drawn without one.
TEST_F(SettingsViewTest, drawingTheSettingsReadsNoBitmap)
{
    m_view->grab();
    const QByteArray mapped = readFile(u"/proc/self/maps"_s);
    ASSERT_TRUE(mapped.contains("libQt6Widgets")) << "the process's mappings were not read";
    EXPECT_FALSE(mapped.contains("/imageformats/"));
}

TEST_F(SettingsViewTest, onlyAKeyWithControlAltOrSuperIsRecordedOnceAndEscapeKeepsTheOldOne)
{
    m_preferences.setValue(shortcutKeyCode, 33);
    m_preferences.setValue(shortcutModifiers, ShortcutModifiers::command | ShortcutModifiers::shift);
    m_preferences.setValue(shortcutKeyChar, u"P"_s);
    child<QAbstractButton>(u"recordShortcutButton"_s)->click();
    EXPECT_EQ(text(u"shortcutLabel"_s), u"Press shortcut\u2026"_s);
    press(Qt::Key_K, Qt::NoModifier, keyCodeK, u"k"_s);
    press(Qt::Key_K, Qt::ShiftModifier, keyCodeK, u"K"_s);
    press(Qt::Key_Control, Qt::ControlModifier, 37);
    press(Qt::Key_Escape, Qt::NoModifier, 9);
    EXPECT_EQ(text(u"shortcutLabel"_s), u"\u21E7\u2318P"_s);
    EXPECT_TRUE(m_typingField.text().isEmpty()) << "keys pressed while recording reach nothing else";

    child<QAbstractButton>(u"recordShortcutButton"_s)->click();
    press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, keyCodeK, u"\x0b"_s);
    press(Qt::Key_J, Qt::ControlModifier, 44);
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), keyCodeK);
    EXPECT_EQ(m_preferences.value(shortcutModifiers), ShortcutModifiers::control | ShortcutModifiers::option);
    EXPECT_EQ(text(u"shortcutLabel"_s), u"\u2303\u2325K"_s);
    EXPECT_EQ(posts(InProcessNotificationCenter::shortcutChanged), 1);
    child<QAbstractButton>(u"recordShortcutButton"_s)->click();
    press(Qt::Key_F5, Qt::MetaModifier | Qt::ShiftModifier, 71);
    EXPECT_EQ(m_preferences.value(shortcutKeyChar), u"F5"_s);
}

TEST_F(SettingsViewTest, aSecondClickOrClosingTheWindowStopsRecordingAndClearingStoresNone)
{
    child<QAbstractButton>(u"recordShortcutButton"_s)->click();
    child<QAbstractButton>(u"recordShortcutButton"_s)->click();
    EXPECT_EQ(text(u"shortcutLabel"_s), u"None \u2014 click to set"_s);
    child<QAbstractButton>(u"recordShortcutButton"_s)->click();
    open(); // the window closed while recording, and opened anew
    press(Qt::Key_K, Qt::ControlModifier, keyCodeK);
    press(Qt::Key_K, Qt::NoModifier, keyCodeK, u"k"_s);
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), -1);
    EXPECT_EQ(m_typingField.text(), u"k"_s);

    m_preferences.setValue(shortcutKeyCode, 0); // a real key
    m_preferences.setValue(shortcutModifiers, ShortcutModifiers::control);
    m_preferences.setValue(shortcutKeyChar, u"A"_s);
    EXPECT_EQ(text(u"shortcutLabel"_s), u"\u2303A"_s);
    child<QAbstractButton>(u"clearShortcutButton"_s)->click();
    EXPECT_EQ(m_preferences.value(shortcutKeyCode), -1);
    EXPECT_EQ(posts(InProcessNotificationCenter::shortcutChanged), 1);
    EXPECT_FALSE(shown(u"clearShortcutButton"_s));
    EXPECT_EQ(text(u"shortcutLabel"_s), u"None \u2014 click to set"_s);
}
