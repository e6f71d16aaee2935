#include "SettingsViewFixture.h"

#include "BreakReminderSection.h"
#include "ColorWell.h"
#include "NotificationSettingsLauncher.h"
#include "ScheduleLabels.h"
#include "TierColors.h"
#include "TrackingSection.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

const QString notifPrefsChanged = InProcessNotificationCenter::notifPrefsChanged;
const QString shortcutChanged = InProcessNotificationCenter::shortcutChanged;

// --- Texts of the pickers and the steppers ---

TEST(ScheduleLabelsTest, hoursReadOnTheTwelveHourClockAndNonHoursAsNumbers)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ScheduleLabels::hourLabel(22, english), u"10:00 PM"_s);
    EXPECT_EQ(ScheduleLabels::hourLabel(0, english), u"12:00 AM"_s);
    EXPECT_EQ(ScheduleLabels::hourLabel(12, english), u"12:00 PM"_s);
    EXPECT_EQ(ScheduleLabels::hourLabel(24, english), u"24:00"_s);
}

TEST(ScheduleLabelsTest, weekdayOneIsSundayAndSevenSaturday)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ScheduleLabels::weekdayName(1, english), u"Sunday"_s);
    EXPECT_EQ(ScheduleLabels::weekdayName(2, english), u"Monday"_s);
    EXPECT_EQ(ScheduleLabels::weekdayName(7, english), u"Saturday"_s);
    EXPECT_EQ(ScheduleLabels::weekdayName(1, QLocale(QLocale::German)), u"Sonntag"_s);
}

TEST(SettingsTextTest, minutesAreSingularOnlyForExactlyOne)
{
    EXPECT_EQ(TrackingSection::idleTimeoutText(1), u"Idle timeout: 1 minute"_s);
    EXPECT_EQ(TrackingSection::idleTimeoutText(2), u"Idle timeout: 2 minutes"_s);
    EXPECT_EQ(TrackingSection::idleTimeoutText(60), u"Idle timeout: 60 minutes"_s);
    EXPECT_EQ(BreakReminderSection::intervalText(1), u"Every 1 minute"_s);
    EXPECT_EQ(BreakReminderSection::intervalText(5), u"Every 5 minutes"_s);
}

TEST(NotificationSettingsLauncherTest, opensTheSettingsProgramOfAKnownInstalledDesktop)
{
    const auto installed = [](const QString& name) { return u"/usr/bin/"_s + name; };
    const auto gnome = NotificationSettingsLauncher::commandFor(u"ubuntu:GNOME"_s, installed);
    ASSERT_TRUE(gnome);
    EXPECT_EQ(gnome->program, u"/usr/bin/gnome-control-center"_s);
    EXPECT_EQ(gnome->arguments, QStringList{u"notifications"_s});
    const auto plasma = NotificationSettingsLauncher::commandFor(u"KDE"_s, installed);
    ASSERT_TRUE(plasma);
    EXPECT_EQ(plasma->program, u"/usr/bin/systemsettings"_s);
    EXPECT_EQ(plasma->arguments, QStringList{u"kcm_notifications"_s});
}

TEST(NotificationSettingsLauncherTest, unknownDesktopOrMissingProgramOpensNothing)
{
    const auto installed = [](const QString& name) { return u"/usr/bin/"_s + name; };
    const auto missing = [](const QString&) { return QString(); };
    EXPECT_FALSE(NotificationSettingsLauncher::commandFor(u"sway"_s, installed));
    EXPECT_FALSE(NotificationSettingsLauncher::commandFor(QString(), installed));
    EXPECT_FALSE(NotificationSettingsLauncher::commandFor(u"GNOME"_s, missing));
}

// --- The settings form over the preferences ---

using SettingsFormTest = SettingsViewFixture;

TEST_F(SettingsFormTest, thresholdSteppersKeepGreenBelowYellow)
{
    auto* green = child<QSpinBox>(u"greenThresholdStepper"_s);
    auto* yellow = child<QSpinBox>(u"yellowThresholdStepper"_s);
    EXPECT_EQ(green->minimum(), 1);
    EXPECT_EQ(green->maximum(), 4);
    EXPECT_EQ(yellow->minimum(), 4);
    EXPECT_EQ(yellow->maximum(), 24);
    EXPECT_EQ(child<QLabel>(u"greenThresholdStepperTitle"_s)->text(), u"Under 3h"_s);
    EXPECT_EQ(child<QLabel>(u"yellowThresholdStepperTitle"_s)->text(), u"3h \u2013 5h"_s);
    EXPECT_EQ(child<QLabel>(u"redThresholdTitle"_s)->text(), u"Over 5h"_s);

    SCOPED_TRACE("green raised to yellow - 1, then yellow lowered as far as it goes");
    green->stepBy(1);
    green->stepBy(1);
    EXPECT_EQ(m_preferences.value(greenThresholdHours), 4);
    yellow->stepBy(-1);
    yellow->stepBy(-1);
    EXPECT_EQ(m_preferences.value(yellowThresholdHours), 5);
    EXPECT_EQ(yellow->minimum(), 5);
    EXPECT_EQ(child<QLabel>(u"yellowThresholdStepperTitle"_s)->text(), u"4h \u2013 5h"_s);
    EXPECT_EQ(posts(notifPrefsChanged) + posts(shortcutChanged), 0);
}

TEST_F(SettingsFormTest, disorderedThresholdsFromElsewhereAreShownButNotRewritten)
{
    m_preferences.setValue(greenThresholdHours, 24);
    m_preferences.setValue(yellowThresholdHours, 5);
    auto* yellow = child<QSpinBox>(u"yellowThresholdStepper"_s);
    EXPECT_EQ(yellow->minimum(), 25);
    EXPECT_EQ(yellow->maximum(), 25);
    EXPECT_EQ(child<QSpinBox>(u"greenThresholdStepper"_s)->maximum(), 4);
    EXPECT_EQ(m_preferences.value(greenThresholdHours), 24);
    EXPECT_EQ(m_preferences.value(yellowThresholdHours), 5);
    EXPECT_EQ(child<QLabel>(u"redThresholdTitle"_s)->text(), u"Over 5h"_s);
}

TEST_F(SettingsFormTest, colourWellsShowStoredOrStandardColoursAndResetEmptiesAllThree)
{
    m_preferences.setValue(tierRedColor, QByteArray("not a colour"));
    view();
    EXPECT_EQ(child<ColorWell>(u"redColorWell"_s)->color(), TierColors::defaultColor(ThresholdTier::red));
    EXPECT_EQ(child<ColorWell>(u"greenColorWell"_s)->color(), TierColors::defaultColor(ThresholdTier::green));

    SCOPED_TRACE("a half-transparent choice is stored with its opacity");
    const QColor translucent = QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f);
    child<ColorWell>(u"yellowColorWell"_s)->choose(translucent);
    const std::optional<QColor> stored = TierColors::decodeTierColor(m_preferences.value(tierYellowColor));
    ASSERT_TRUE(stored);
    EXPECT_NEAR(stored->alphaF(), 0.5, 0.01);
    EXPECT_NEAR(stored->blueF(), 0.6, 0.01);

    SCOPED_TRACE("reset");
    child<QAbstractButton>(u"resetColorsButton"_s)->click();
    for (const auto& key : {tierGreenColor, tierYellowColor, tierRedColor})
        EXPECT_TRUE(m_preferences.value(key).isEmpty()) << key.name;
    EXPECT_EQ(child<ColorWell>(u"yellowColorWell"_s)->color(),
              TierColors::defaultColor(ThresholdTier::yellow));
    EXPECT_EQ(child<ColorWell>(u"redColorWell"_s)->color(), TierColors::defaultColor(ThresholdTier::red));
    EXPECT_EQ(posts(notifPrefsChanged) + posts(shortcutChanged), 0);
}

TEST_F(SettingsFormTest, idleTimeoutShowsOnlyWithATimeoutAndStoresTheSlider)
{
    EXPECT_FALSE(shown(u"idleTimeoutGroup"_s));
    child<QCheckBox>(u"alwaysCountToggle"_s)->click();
    EXPECT_FALSE(m_preferences.value(idleTimeoutDisabled));
    EXPECT_TRUE(shown(u"idleTimeoutGroup"_s));
    auto* slider = child<QSlider>(u"idleTimeoutSlider"_s);
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 60);
    slider->setValue(1);
    EXPECT_EQ(m_preferences.value(idleTimeoutMinutes), 1);
    EXPECT_EQ(child<QLabel>(u"idleTimeoutTitle"_s)->text(), u"Idle timeout: 1 minute"_s);
}

TEST_F(SettingsFormTest, iconOnlyHidesTheSecondsToggleAndItsExplanation)
{
    EXPECT_TRUE(shown(u"showSecondsToggle"_s));
    EXPECT_TRUE(shown(u"showSecondsCaption"_s));
    child<QAbstractButton>(u"iconOnlySegment"_s)->click();
    EXPECT_TRUE(m_preferences.value(menuBarIconOnly));
    EXPECT_FALSE(shown(u"showSecondsToggle"_s));
    EXPECT_FALSE(shown(u"showSecondsCaption"_s));
    child<QAbstractButton>(u"counterSegment"_s)->click();
    EXPECT_FALSE(m_preferences.value(menuBarIconOnly));
}

TEST_F(SettingsFormTest, breakStepperStepsByFiveWithinFiveTo240)
{
    auto* stepper = child<QSpinBox>(u"breakIntervalStepper"_s);
    EXPECT_EQ(stepper->minimum(), 5);
    EXPECT_EQ(stepper->maximum(), 240);
    m_preferences.setValue(breakReminderMinutes, 5);
    stepper->stepBy(1);
    EXPECT_EQ(m_preferences.value(breakReminderMinutes), 10);
    stepper->stepBy(-1);
    stepper->stepBy(-1);
    EXPECT_EQ(m_preferences.value(breakReminderMinutes), 5);
    m_preferences.setValue(breakReminderMinutes, 235);
    stepper->stepBy(1);
    stepper->stepBy(1);
    EXPECT_EQ(m_preferences.value(breakReminderMinutes), 240);
    EXPECT_EQ(child<QLabel>(u"breakIntervalStepperTitle"_s)->text(), u"Every 240 minutes"_s);

    child<QCheckBox>(u"breakReminderToggle"_s)->click();
    EXPECT_FALSE(m_preferences.value(breakReminderEnabled));
    EXPECT_FALSE(shown(u"breakIntervalGroup"_s));
}

TEST_F(SettingsFormTest, dailyGoalStepperShowsOnlyWhileTheGoalIsOn)
{
    EXPECT_FALSE(shown(u"dailyGoalGroup"_s));
    child<QCheckBox>(u"dailyGoalToggle"_s)->click();
    EXPECT_TRUE(m_preferences.value(dailyGoalEnabled));
    auto* stepper = child<QSpinBox>(u"dailyGoalStepper"_s);
    EXPECT_EQ(stepper->minimum(), 1);
    EXPECT_EQ(stepper->maximum(), 24);
    stepper->stepBy(-1);
    EXPECT_EQ(m_preferences.value(dailyGoalHours), 5);
    EXPECT_EQ(child<QLabel>(u"dailyGoalStepperTitle"_s)->text(), u"Stay under 5h"_s);
}

// --- Notifications ---

TEST_F(SettingsFormTest, withoutAuthorisationOnlyTheHintAndTheSettingsButtonShow)
{
    for (auto status : {NotificationCenter::AuthorizationStatus::notDetermined,
                        NotificationCenter::AuthorizationStatus::denied}) {
        m_view.reset();
        m_notificationCenter.setAuthorizationStatus(status);
        EXPECT_TRUE(shown(u"notificationsDeniedCaption"_s));
        EXPECT_TRUE(shown(u"openNotificationSettingsButton"_s));
        EXPECT_FALSE(shown(u"notificationsAllowedGroup"_s));
        EXPECT_EQ(child<QLabel>(u"notificationsDeniedCaption"_s)->text(),
                  u"Notifications are disabled. Enable them in System Settings \u2192 Notifications \u2192 "
                  u"Lumatick."_s);
    }
}

TEST_F(SettingsFormTest, permissionIsAskedAgainEachTimeTheContentAppears)
{
    view();
    EXPECT_FALSE(shown(u"notificationsAllowedGroup"_s));
    m_notificationCenter.setAuthorizationStatus(NotificationCenter::AuthorizationStatus::authorized);
    EXPECT_FALSE(shown(u"notificationsAllowedGroup"_s));
    view().hide();
    view().show();
    EXPECT_TRUE(shown(u"notificationsAllowedGroup"_s));
    EXPECT_FALSE(shown(u"notificationsDeniedCaption"_s));
}

TEST_F(SettingsFormTest, eachSummaryControlAnnouncesEveryChangeOnce)
{
    m_notificationCenter.setAuthorizationStatus(NotificationCenter::AuthorizationStatus::authorized);
    view();
    EXPECT_FALSE(shown(u"dailyHourPicker"_s));
    EXPECT_FALSE(shown(u"weeklyDayPicker"_s));

    child<QCheckBox>(u"dailySummaryToggle"_s)->click();
    EXPECT_TRUE(m_preferences.value(dailyNotifEnabled));
    EXPECT_EQ(posts(notifPrefsChanged), 1);
    auto* dailyHour = child<QComboBox>(u"dailyHourPicker"_s);
    EXPECT_TRUE(shown(u"dailyHourPicker"_s));
    EXPECT_EQ(dailyHour->currentText(), u"10:00 PM"_s);
    dailyHour->setCurrentIndex(7);
    EXPECT_EQ(m_preferences.value(dailyNotifHour), 7);
    EXPECT_EQ(posts(notifPrefsChanged), 2);

    child<QCheckBox>(u"weeklySummaryToggle"_s)->click();
    EXPECT_EQ(posts(notifPrefsChanged), 3);
    auto* weekday = child<QComboBox>(u"weeklyDayPicker"_s);
    EXPECT_EQ(weekday->count(), 7);
    EXPECT_EQ(weekday->itemText(0), u"Sunday"_s);
    weekday->setCurrentIndex(6);
    EXPECT_EQ(m_preferences.value(weeklyNotifDay), 7);
    EXPECT_EQ(posts(notifPrefsChanged), 4);
    auto* weeklyHour = child<QComboBox>(u"weeklyHourPicker"_s);
    EXPECT_EQ(weeklyHour->count(), 24);
    weeklyHour->setCurrentIndex(0);
    EXPECT_EQ(m_preferences.value(weeklyNotifHour), 0);
    EXPECT_EQ(posts(notifPrefsChanged), 5);

    SCOPED_TRACE("turning the daily summary off hides its time");
    child<QCheckBox>(u"dailySummaryToggle"_s)->click();
    EXPECT_FALSE(m_preferences.value(dailyNotifEnabled));
    EXPECT_FALSE(shown(u"dailyHourPicker"_s));
    EXPECT_EQ(posts(notifPrefsChanged), 6);
    EXPECT_EQ(posts(shortcutChanged), 0);
}

TEST_F(SettingsFormTest, scheduleChangedElsewhereIsShownWithoutAnnouncement)
{
    m_notificationCenter.setAuthorizationStatus(NotificationCenter::AuthorizationStatus::authorized);
    view();
    m_preferences.setValue(weeklyNotifEnabled, true);
    m_preferences.setValue(weeklyNotifHour, 9);
    EXPECT_TRUE(shown(u"weeklyHourPicker"_s));
    EXPECT_EQ(child<QComboBox>(u"weeklyHourPicker"_s)->currentText(), u"9:00 AM"_s);
    EXPECT_EQ(posts(notifPrefsChanged), 0);
}

// --- Launch at login ---

TEST_F(SettingsFormTest, appearingTakesTheLoginServicesWordOverThePreference)
{
    m_preferences.setValue(launchAtLogin, true);
    m_loginItem.setEnabledDirectly(false);
    view();
    EXPECT_FALSE(m_preferences.value(launchAtLogin));
    EXPECT_FALSE(child<QCheckBox>(u"launchAtLoginToggle"_s)->isChecked());
}

TEST_F(SettingsFormTest, launchAtLoginRegistersAndFailureReturnsTheSwitchToTheServiceState)
{
    auto* toggle = child<QCheckBox>(u"launchAtLoginToggle"_s);
    toggle->click();
    EXPECT_TRUE(m_loginItem.isEnabled());
    EXPECT_TRUE(m_preferences.value(launchAtLogin));

    SCOPED_TRACE("the service refuses to unregister");
    m_loginItem.setFailing(true);
    toggle->click();
    EXPECT_EQ(m_loginItem.calls().size(), 2);
    EXPECT_TRUE(m_preferences.value(launchAtLogin));
    EXPECT_TRUE(toggle->isChecked());
}

TEST_F(SettingsFormTest, noLoginServiceHidesTheSwitch)
{
    m_loginItem.setSupported(false);
    EXPECT_FALSE(shown(u"launchAtLoginToggle"_s));
}

// --- Tabs and the About page ---

TEST_F(SettingsFormTest, contentStartsOnTheSettingsTabAndTheTabsSwitchPages)
{
    EXPECT_EQ(view().size(), SettingsView::contentSize);
    EXPECT_EQ(view().selectedTab(), SettingsView::settingsTab);
    child<QAbstractButton>(u"tab1"_s)->click();
    EXPECT_EQ(view().selectedTab(), SettingsView::aboutTab);
    EXPECT_TRUE(shown(u"aboutPage"_s));
    EXPECT_FALSE(shown(u"settingsForm"_s));
    child<QAbstractButton>(u"tab2"_s)->click();
    EXPECT_TRUE(shown(u"moreAppsPage"_s));
}

TEST_F(SettingsFormTest, aboutShowsTheVersionOrOnePointZero)
{
    EXPECT_EQ(child<QLabel>(u"aboutVersion"_s)->text(), u"Version 2.4.1"_s);
    SettingsView unversioned(m_preferences, m_inProcess, m_notificationCenter, m_loginItem, m_updates,
                             QString());
    EXPECT_EQ(unversioned.findChild<QLabel*>(u"aboutVersion"_s)->text(), u"Version 1.0"_s);
}

TEST_F(SettingsFormTest, updateButtonFollowsTheUpdaterAndStartsACheck)
{
    auto* check = child<QAbstractButton>(u"checkForUpdatesButton"_s);
    EXPECT_FALSE(check->isEnabled());
    m_updates.setCanCheck(true);
    EXPECT_TRUE(check->isEnabled());
    check->click();
    EXPECT_EQ(m_updates.checks(), 1);
    m_updates.setCanCheck(false);
    EXPECT_FALSE(check->isEnabled());

    auto* automatic = child<QCheckBox>(u"automaticUpdatesToggle"_s);
    EXPECT_TRUE(automatic->isChecked());
    automatic->click();
    EXPECT_FALSE(m_updates.automaticallyDownloadsUpdates());
    EXPECT_EQ(m_updates.automaticAssignments(), 1);
}

} // namespace
