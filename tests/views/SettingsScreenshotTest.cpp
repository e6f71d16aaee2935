#include "SettingsViewFixture.h"

#include "ShortcutModifiers.h"
#include "TierColors.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QScrollArea>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

// Renders each page of the settings window with sample preferences, for a person to look at:
// the window's own size, and the whole settings form as one tall image.
class SettingsScreenshotTest : public SettingsViewFixture {
protected:
    void SetUp() override
    {
        SettingsViewFixture::SetUp();
        m_preferences.setValue(idleTimeoutDisabled, false);
        m_preferences.setValue(idleTimeoutMinutes, 10);
        m_preferences.setValue(dailyGoalEnabled, true);
        m_preferences.setValue(shortcutKeyCode, 33);
        m_preferences.setValue(shortcutModifiers, ShortcutModifiers::control | ShortcutModifiers::option);
        m_preferences.setValue(shortcutKeyChar, u"P"_s);
        m_preferences.setValue(tierYellowColor,
                               TierColors::encodeTierColor(QColor::fromRgbF(1.0f, 0.6f, 0.0f, 0.6f)));
        m_loginItem.setEnabledDirectly(true);
    }

    // Shown and hidden rows change the layout through posted events; they are delivered here
    // as the event loop would before painting.
    QImage renderWindow(const QString& name)
    {
        QCoreApplication::sendPostedEvents();
        const QImage image = view().grab().toImage();
        EXPECT_EQ(image.size() / image.devicePixelRatio(), SettingsView::contentSize);
        saveScreenshot(image, name);
        return image;
    }

    void renderWholeForm(const QString& name)
    {
        QCoreApplication::sendPostedEvents();
        QWidget* form = child<QScrollArea>(u"settingsForm"_s)->widget();
        form->resize(form->width(), form->sizeHint().height());
        saveScreenshot(form->grab().toImage(), name);
    }

    void scrollTo(const QString& objectName)
    {
        QCoreApplication::sendPostedEvents();
        auto* form = child<QScrollArea>(u"settingsForm"_s);
        form->ensureWidgetVisible(child<QWidget>(objectName), 0, 120);
    }
};

TEST_F(SettingsScreenshotTest, settingsPageWithNotificationsNotAllowed)
{
    renderWindow(u"settings-form-top"_s);
    renderWholeForm(u"settings-form-notifications-not-allowed"_s);
}

TEST_F(SettingsScreenshotTest, settingsPageWithNotificationsAllowed)
{
    m_notificationCenter.setAuthorizationStatus(NotificationCenter::AuthorizationStatus::authorized);
    m_preferences.setValue(dailyNotifEnabled, true);
    m_preferences.setValue(weeklyNotifEnabled, true);
    view();
    scrollTo(u"weeklyHourPicker"_s);
    renderWindow(u"settings-form-notifications-allowed"_s);
    renderWholeForm(u"settings-form-notifications-allowed-whole"_s);
}

TEST_F(SettingsScreenshotTest, settingsPageWhileRecordingAShortcut)
{
    child<QAbstractButton>(u"recordShortcutButton"_s)->click();
    scrollTo(u"recordShortcutButton"_s);
    renderWindow(u"settings-recording-shortcut"_s);
}

TEST_F(SettingsScreenshotTest, aboutAndMorePages)
{
    m_updates.setCanCheck(true);
    view().selectTab(SettingsView::aboutTab);
    renderWindow(u"settings-about"_s);
    view().selectTab(SettingsView::moreAppsTab);
    renderWindow(u"settings-more-brightlet"_s);
}

} // namespace
