#include "ScreenshotWriter.h"

#include "DropdownView.h"
#include "FakeLoginItem.h"
#include "FakeNotificationCenter.h"
#include "HistoryView.h"
#include "HistoryViewModel.h"
#include "InProcessNotificationCenter.h"
#include "OnboardingView.h"
#include "SampleScene.h"
#include "SegmentedControl.h"
#include "SettingsView.h"
#include "ShortcutModifiers.h"
#include "StillUpdateControls.h"
#include "TierColors.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QScrollArea>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 hour = 3600;

void pickSegment(QWidget& view, const QString& picker, const QString& title)
{
    for (auto* button : view.findChild<SegmentedControl*>(picker)->findChildren<QToolButton*>()) {
        if (button->text() == title)
            button->click();
    }
}

// The sample settings: a timeout, a goal, a recorded shortcut and a half-transparent colour.
void prepareSettings(Preferences& preferences)
{
    preferences.setValue(idleTimeoutDisabled, false);
    preferences.setValue(idleTimeoutMinutes, 10);
    preferences.setValue(dailyGoalEnabled, true);
    preferences.setValue(shortcutKeyCode, 33);
    preferences.setValue(shortcutModifiers, ShortcutModifiers::control | ShortcutModifiers::option);
    preferences.setValue(shortcutKeyChar, u"P"_s);
    preferences.setValue(tierYellowColor,
                         TierColors::encodeTierColor(QColor::fromRgbF(1.0f, 0.6f, 0.0f, 0.6f)));
}

QWidget& settingsForm(SettingsView& view)
{
    return *view.findChild<QScrollArea*>(u"settingsForm"_s)->widget();
}

} // namespace

ScreenshotWriter::ScreenshotWriter(const QString& directory)
    : m_directory(directory)
{
    m_directory.mkpath(u"."_s);
}

void ScreenshotWriter::save(QWidget& widget, const QString& name)
{
    // Rows shown or hidden a moment ago relayout through posted events.
    QCoreApplication::sendPostedEvents();
    const QString path = m_directory.filePath(name + u".png"_s);
    (widget.grab().save(path) ? m_written : m_failed).append(path);
}

void ScreenshotWriter::dropdownPanels()
{
    struct Variant {
        QString name;
        QList<qint64> week;
        bool paused;
        bool iconOnlyWithoutSeconds;
    };
    const QList<Variant> variants{
        {u"dropdown-fresh-day"_s, {0}, false, false},
        {u"dropdown-yellow-paused-streak"_s,
         {0, 3 * hour, hour, 5 * hour, 2 * hour, hour, 4 * hour},
         true,
         false},
        {u"dropdown-red-icon-only"_s,
         {2 * hour, 4 * hour, 6 * hour, 7 * hour, hour, 3 * hour, 6 * hour + 125},
         false,
         true},
    };
    for (const Variant& variant : variants) {
        SampleScene scene;
        scene.preferences().setValue(dailyGoalEnabled, variant.paused);
        if (variant.paused) {
            scene.preferences().setValue(shortcutKeyCode, 33);
            scene.preferences().setValue(shortcutModifiers,
                                         ShortcutModifiers::command | ShortcutModifiers::shift);
            scene.preferences().setValue(shortcutKeyChar, u"P"_s);
        }
        scene.preferences().setValue(menuBarIconOnly, variant.iconOnlyWithoutSeconds);
        scene.preferences().setValue(showSeconds, !variant.iconOnlyWithoutSeconds);
        scene.recordLastDays(variant.week);
        scene.manager().setPaused(variant.paused);
        scene.refreshMenuBarModel();
        DropdownView view(scene.menuBarModel(), scene.preferences());
        view.adjustSize();
        save(view, variant.name);
    }
}

void ScreenshotWriter::historyWindows()
{
    for (bool goal : {true, false}) {
        SampleScene scene;
        scene.recordLongHistory();
        scene.preferences().setValue(dailyGoalEnabled, goal);
        HistoryViewModel model(scene.store(), scene.preferences(), scene.clock());
        HistoryView view(model, scene.preferences());
        view.resize(HistoryView::defaultWindowSize);
        view.show();
        const QString suffix = goal ? u"-goal-on"_s : u"-goal-off"_s;
        save(view, u"history-7d-6mo"_s + suffix);
        pickSegment(view, u"dailyRangePicker"_s, u"30d"_s);
        pickSegment(view, u"monthlyRangePicker"_s, u"12mo"_s);
        save(view, u"history-30d-12mo"_s + suffix);
        save(*view.findChild<QWidget*>(u"historyContent"_s), u"history-30d-12mo-whole"_s + suffix);
    }
    SampleScene empty;
    HistoryViewModel model(empty.store(), empty.preferences(), empty.clock());
    HistoryView view(model, empty.preferences());
    view.resize(HistoryView::defaultWindowSize);
    view.show();
    save(view, u"history-empty"_s);
}

void ScreenshotWriter::settingsPages()
{
    for (auto status : {NotificationCenter::AuthorizationStatus::denied,
                        NotificationCenter::AuthorizationStatus::authorized}) {
        const bool allowed = status == NotificationCenter::AuthorizationStatus::authorized;
        SampleScene scene;
        prepareSettings(scene.preferences());
        scene.preferences().setValue(dailyNotifEnabled, allowed);
        scene.preferences().setValue(weeklyNotifEnabled, allowed);
        InProcessNotificationCenter inProcess;
        FakeNotificationCenter notifications;
        notifications.setAuthorizationStatus(status);
        FakeLoginItem loginItem;
        loginItem.setEnabledDirectly(true);
        StillUpdateControls updates;
        SettingsView view(scene.preferences(), inProcess, notifications, loginItem, updates, u"0.1.0"_s);
        view.show();
        const QString variant = allowed ? u"notifications-allowed"_s : u"notifications-not-allowed"_s;
        save(view, u"settings-top-"_s + variant);
        QWidget& form = settingsForm(view);
        form.resize(form.width(), form.sizeHint().height());
        save(form, u"settings-whole-"_s + variant);
        if (allowed)
            continue;
        view.findChild<QAbstractButton*>(u"recordShortcutButton"_s)->click();
        save(form, u"settings-whole-recording-shortcut"_s);
        view.selectTab(SettingsView::aboutTab);
        save(view, u"settings-about"_s);
        view.selectTab(SettingsView::moreAppsTab);
        save(view, u"settings-more-apps"_s);
    }
}

void ScreenshotWriter::onboardingScreens()
{
    SampleScene scene;
    OnboardingView view(scene.preferences(), [] {});
    OnboardingView::configureWindow(view);
    view.show();
    view.finishAnimations();
    save(view, u"onboarding-welcome"_s);
    view.findChild<QAbstractButton*>(u"getStartedButton"_s)->click();
    view.finishAnimations();
    save(view, u"onboarding-confirmation"_s);
}
