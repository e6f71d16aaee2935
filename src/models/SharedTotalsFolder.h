#pragma once

#include "Clock.h"
#include "DailyScreenTime.h"

#include <QDate>
#include <QFileSystemWatcher>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTimer>

#include <functional>

class Preferences;

// Totals shared with other computers through a folder the user's sync engine keeps in step.
// This computer writes only `<folder>/Lumatick/<id>.csv`, at most once a minute while something
// changed (and when asked, at quit and before sleep); it reads the other files when they change
// and once a minute, and sums them per day. Faults of the folder never stop tracking: they are
// logged once each and the folder's own is kept for the setting to show.
class SharedTotalsFolder : public QObject {
    Q_OBJECT

public:
    struct Computer {
        QString id;
        QString name;
        QMap<QDate, qint64> days;
        // Silent for over 30 days: shown as inactive, still counted in its days.
        bool inactive = false;

        bool operator==(const Computer&) const = default;
    };
    using RecordSource = std::function<QList<DailyScreenTime>()>;

    SharedTotalsFolder(Clock clock, RecordSource records, QObject* parent = nullptr);

    // This computer's name in the folder: the one the user chose, else the host name.
    static QString computerName(const Preferences& preferences);

    // Reads the folder and begins the minute's round; the first write is the caller's to ask
    // for (publish()) or comes with that round, so a reader such as the status command writes nothing.
    void start(const QString& folder, const QString& id, const QString& name);
    void stop();
    bool isSharing() const { return !m_folder.isEmpty(); }

    void noteChange() { m_changed = true; }
    // Writes this computer's file now; false (with problem() set) when the folder refuses it.
    bool publish();
    void rescan();

    // Today's own figure is the live one, never a file's, so the sum is never below it.
    qint64 allComputersSeconds(QDate day, qint64 ownSeconds) const;
    // This computer's days with every other computer's added, over the days any of them has.
    QMap<QDate, qint64> allComputersDays(QMap<QDate, qint64> own) const;
    bool hasOtherComputers() const { return !m_computers.isEmpty(); }
    QList<Computer> computers() const { return m_computers.values(); }
    QString problem() const { return m_problem; }
    QString installationId() const { return m_id; }
    // Whether this installation had to leave its id to another that claimed it, while running.
    bool tookNewId() const { return m_tookNewId; }
    QString name() const { return m_name; }

Q_SIGNALS:
    // Another computer appeared, went, or its name, days or standing changed; or this
    // installation moved to a new id. A reading that finds everything as it was says nothing.
    void totalsChanged();
    // Another installation writes under the same id (a cloned disk); this one moved to a new id,
    // which the caller keeps in the preferences.
    void installationIdChanged(const QString& id);
    // The folder's fault appeared, changed or went away, or sharing stopped.
    void problemChanged();

private:
    QString directory() const;
    QString ownPath() const;
    void minutePassed();
    void readComputer(const QString& fileName);
    void checkOwnFile();
    void watch();
    void report(const QString& key, const QString& message);
    void setProblem(const QString& problem);

    Clock m_clock;
    RecordSource m_records;
    QString m_folder;
    QString m_id;
    QString m_name;
    bool m_changed = false;
    bool m_tookNewId = false;
    QByteArray m_lastWritten;
    QString m_problem;
    QMap<QString, Computer> m_computers;
    // The last fault logged per file, so each fault makes one log line, not one a minute.
    QHash<QString, QString> m_reported;
    QFileSystemWatcher m_watcher;
    QTimer m_minute;
};
