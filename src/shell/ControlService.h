#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <optional>

class MenuBarViewModel;
class ScreenTimeManager;

// The running instance's control object on the session bus: today's figures as read-only
// properties, pause control, and a request to show the panel. Scripts and status bars read it
// instead of the store, which is up to a minute behind. Pause requests go to the application,
// which pauses the same way from every entry point and redraws the counter at once. The
// running total changes every second, yet a second's PropertiesChanged wakes the bus and every
// listener; it goes out each second only while someone has subscribed, else once its minute
// changes. A pause, a new tier or the count stopping or starting goes out at once either way, so
// a listener that adds the seconds itself while Counting holds stays exact without subscribing.
class ControlService : public QObject {
    Q_OBJECT
public:
    ControlService(MenuBarViewModel& model, ScreenTimeManager& manager, QObject* parent = nullptr);
    ~ControlService() override;

    // Exports the object and claims the bus name without queueing, so of two instances
    // starting together exactly one gets it. False when someone else owns the name.
    bool registerOn(QDBusConnection connection);

    qint64 todaySeconds() const;
    QString todayText() const;
    QString tier() const;
    bool isPaused() const;
    bool isCounting() const;
    // Today's total over every computer sharing a folder; -1 while sharing is off.
    qint64 allComputersTodaySeconds() const
    {
        return m_allComputersToday ? m_allComputersToday().value_or(-1) : -1;
    }
    void setAllComputersToday(std::function<std::optional<qint64>()> source)
    {
        m_allComputersToday = std::move(source);
    }

    void pause();
    void resume();
    void togglePause();
    // Seconds outside 1 s to PauseTimer::longestPause are ignored.
    void pauseFor(qint64 seconds);
    void pauseUntilTomorrow();
    void requestShowPanel();
    void requestHistory();
    void requestSettings();
    void requestSharingReload();
    // Read when a popup opens, so yesterday and the average are fresh without a timer.
    QStringList figures();
    // `uniqueName` hears every second's change until it leaves the bus.
    void subscribe(const QString& uniqueName);

    // Sends the changes gathered so far at once instead of on the next pass of the event loop,
    // so a tick's bus messages leave together and the bus thread wakes once for them.
    void publishChanges();

Q_SIGNALS:
    // Someone (a second start, a script) asked to see the panel.
    void showPanelRequested();
    void historyRequested();
    void settingsRequested();
    // Another process changed the sharing preferences.
    void sharingReloadRequested();
    void pauseRequested(bool paused);
    void pauseToggleRequested();
    void pauseForRequested(qint64 seconds);
    void pauseUntilTomorrowRequested();

private:
    QVariantMap properties() const;
    void schedulePublish();
    void announce(const QVariantMap& changed);
    bool onlyTheSecondsMoved() const;

    MenuBarViewModel& m_model;
    ScreenTimeManager& m_manager;
    std::optional<QDBusConnection> m_connection;
    // What listeners were last told; a publish sends only what differs from it.
    QVariantMap m_published;
    // Several figures change in one tick; a zero-interval timer folds them into one signal.
    QTimer m_publishTimer;
    // Watching a subscriber's name both remembers it and forgets it when it leaves.
    QDBusServiceWatcher m_subscribers;
    std::function<std::optional<qint64>()> m_allComputersToday;
};
