#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QString>
#include <QStringList>

class ControlService;

// The D-Bus face of ControlService: names and signatures as scripts see them. Everything is
// forwarded, so the service stays usable and testable without a bus.
class ControlAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.brightlet.Lumatick")
    Q_PROPERTY(qlonglong TodaySeconds READ todaySeconds)
    Q_PROPERTY(QString TodayText READ todayText)
    Q_PROPERTY(QString Tier READ tier)
    Q_PROPERTY(bool Paused READ paused)
    // Whether the total grows each second now; it changes at once, unlike the seconds.
    Q_PROPERTY(bool Counting READ counting)
    Q_PROPERTY(qlonglong AllComputersTodaySeconds READ allComputersTodaySeconds)
public:
    explicit ControlAdaptor(ControlService* service);

    qlonglong todaySeconds() const;
    QString todayText() const;
    QString tier() const;
    bool paused() const;
    bool counting() const;
    qlonglong allComputersTodaySeconds() const;

public Q_SLOTS:
    void Pause();
    void Resume();
    void TogglePause();
    void PauseFor(qlonglong seconds);
    void PauseUntilTomorrow();
    void ShowPanel();
    void OpenHistory();
    void OpenSettings();
    // The command line changed where the totals are shared: read the preferences again.
    void ReloadSharing();
    // The rows the tray menu shows (today, yesterday, seven-day average, streak), current now.
    QStringList Figures();
    // Every second's change of the total to the caller, until it leaves the bus.
    void Subscribe(const QDBusMessage& message);

private:
    ControlService* m_service;
};
