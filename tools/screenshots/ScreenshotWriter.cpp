#include "ScreenshotWriter.h"

#include "DropdownView.h"
#include "FakeLoginItem.h"
#include "FakeNotificationCenter.h"
#include "GeneralSection.h"
#include "HistoryView.h"
#include "HistoryViewModel.h"
#include "InProcessNotificationCenter.h"
#include "OnboardingView.h"
#include "SampleScene.h"
#include "SegmentedControl.h"
#include "SettingsView.h"
#include "SharedTotalsFile.h"
#include "SharedTotalsFolder.h"
#include "ShortcutModifiers.h"
#include "StatusIconRenderer.h"
#include "StatusItemPresenter.h"
#include "StillUpdateControls.h"
#include "TierColors.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QScrollArea>
#include <QTemporaryDir>
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

// Another computer's file in a shared folder, as that computer writes it.
bool writeSharedFile(const QString& path, const QString& name, const QList<DailyScreenTime>& days)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(SharedTotalsFile::build(name, days)) >= 0;
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

// The time in the icon at 7 and 37 minutes, 4 h 05 and 12 h 59 (one per tier), then the clock
// beside a label and the icon-only dot, faded like the presenter fades them while paused.
QList<QImage> sampleStatusIcons(bool paused)
{
    const auto color = [paused](ThresholdTier tier) {
        QColor drawn = TierColors::defaultColor(tier);
        if (paused)
            drawn.setAlphaF(StatusItemPresenter::pausedAlpha);
        return drawn;
    };
    QList<QImage> icons;
    for (const auto& [seconds, tier] :
         {std::pair{420, ThresholdTier::green}, std::pair{2220, ThresholdTier::green},
          std::pair{14700, ThresholdTier::yellow}, std::pair{46740, ThresholdTier::red}})
        icons.append(
            StatusIconRenderer::renderTime(color(tier), StatusIconRenderer::timeLines(seconds), paused));
    icons.append(StatusIconRenderer::renderClock(color(ThresholdTier::green), paused));
    icons.append(StatusIconRenderer::renderDot(color(ThresholdTier::green), paused));
    return icons;
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
        // Today over every computer, while the totals are shared.
        std::optional<qint64> allComputers;
    };
    const QList<Variant> variants{
        {u"dropdown-fresh-day"_s, {0}, false, false, std::nullopt},
        {u"dropdown-yellow-paused-streak"_s,
         {0, 3 * hour, hour, 5 * hour, 2 * hour, hour, 4 * hour},
         true,
         false,
         std::nullopt},
        {u"dropdown-red-icon-only"_s,
         {2 * hour, 4 * hour, 6 * hour, 7 * hour, hour, 3 * hour, 6 * hour + 125},
         false,
         true,
         std::nullopt},
        {u"dropdown-sharing"_s, {hour, 2 * hour, 3 * hour + 754}, false, false, 5 * hour + 1321},
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
        scene.menuBarModel().setAllComputersToday([&variant] { return variant.allComputers; });
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
    historySharing();
    SampleScene empty;
    HistoryViewModel model(empty.store(), empty.preferences(), empty.clock());
    HistoryView view(model, empty.preferences());
    view.resize(HistoryView::defaultWindowSize);
    view.show();
    save(view, u"history-empty"_s);
}

// A desktop sharing its totals beside this computer's long history: the choice of computers
// shown, first on this computer, then on all of them.
void ScreenshotWriter::historySharing()
{
    SampleScene scene;
    scene.recordLongHistory();
    QTemporaryDir sync;
    QList<DailyScreenTime> deskDays;
    for (int back = 0; back < 400; ++back)
        deskDays.append(DailyScreenTime(SampleScene::today.addDays(-back).startOfDay(),
                                        (back * 4391) % (3 * hour) + 1800, false));
    if (!writeSharedFile(sync.filePath(u"Lumatick/desk.csv"_s), u"Desk"_s, deskDays))
        return;
    SharedTotalsFolder shared(scene.clock(), [] { return QList<DailyScreenTime>(); });
    shared.start(sync.path(), u"laptop"_s, u"Laptop"_s);
    HistoryViewModel model(scene.store(), scene.preferences(), scene.clock());
    model.setSharedTotals(&shared);
    HistoryView view(model, scene.preferences());
    view.resize(HistoryView::defaultWindowSize);
    view.show();
    save(view, u"history-sharing-this-computer"_s);
    pickSegment(view, u"computerPicker"_s, u"All computers"_s);
    save(view, u"history-sharing-all-computers"_s);
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
        view.selectTab(SettingsView::settingsTab);
        scene.preferences().setValue(sharedTotalsFolder, u"/home/ada/Sync"_s);
        scene.preferences().setValue(sharedTotalsName, u"Laptop"_s);
        settingsSharing(view, scene);
    }
}

// Two other computers, one silent for weeks, and this one moved off an id another installation
// took; then the folder gone.
void ScreenshotWriter::settingsSharing(SettingsView& view, SampleScene& scene)
{
    QTemporaryDir sync;
    const auto day = [](int back, qint64 seconds) {
        return DailyScreenTime(SampleScene::today.addDays(-back).startOfDay(), seconds, false);
    };
    writeSharedFile(sync.filePath(u"Lumatick/desk.csv"_s), u"Desk"_s, {day(2, 5000), day(1, 7000)});
    writeSharedFile(sync.filePath(u"Lumatick/old.csv"_s), u"Old laptop"_s, {day(45, 3000)});
    SharedTotalsFolder shared(scene.clock(), [day] { return QList<DailyScreenTime>{day(0, 900)}; });
    shared.start(sync.path(), u"laptop"_s, u"Laptop"_s);
    shared.publish();
    writeSharedFile(sync.filePath(u"Lumatick/laptop.csv"_s), u"Laptop"_s, {day(0, 60)});
    shared.rescan();
    const auto saveGeneral = [&](const SharedTotalsFolder& folder, const QString& name) {
        view.setDesktop(SettingsDesktop{{}, true, &folder});
        QCoreApplication::sendPostedEvents();
        QWidget& form = settingsForm(view);
        form.resize(form.width(), form.sizeHint().height());
        save(*view.findChild<GeneralSection*>(), name);
    };
    saveGeneral(shared, u"settings-general-sharing"_s);
    SharedTotalsFolder gone(scene.clock(), [] { return QList<DailyScreenTime>(); });
    gone.start(u"/home/ada/Sync"_s, u"laptop"_s, u"Laptop"_s);
    gone.publish();
    saveGeneral(gone, u"settings-general-sharing-problem"_s);
    view.setDesktop({});
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

void ScreenshotWriter::statusItem()
{
    // Each icon on a dark and a light panel, at full size and as panels draw it.
    const QColor panels[] = {QColor(0x24, 0x24, 0x24), QColor(0xf2, 0xf2, 0xf2)};
    const int sizes[] = {44, 24, 22};
    constexpr int cell = 52;
    QImage sheet(cell * 6, cell * 12 + 40, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int row = 0;
    for (const bool paused : {false, true}) {
        for (const QImage& icon : sampleStatusIcons(paused)) {
            int column = 0;
            for (const QColor& panel : panels) {
                for (const int size : sizes) {
                    const QRect area(column++ * cell, row * cell, cell, cell);
                    painter.fillRect(area, panel);
                    painter.drawImage(QRect(area.center() - QPoint(size / 2, size / 2), QSize(size, size)),
                                      icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
                }
            }
            ++row;
        }
    }
    // The paused label as a dark panel draws it, with the sign the installed fonts have.
    painter.fillRect(QRect(0, row * cell, sheet.width(), 40), panels[0]);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, row * cell, sheet.width(), 40), Qt::AlignVCenter,
                     StatusItemPresenter::pausePrefix() + u"1h 05m 09s"_s);
    painter.end();
    const QString path = m_directory.filePath(u"status-item.png"_s);
    (sheet.save(path) ? m_written : m_failed).append(path);
}
