#include "SharedTotalsFolder.h"

#include "Logging.h"
#include "Preferences.h"
#include "SharedTotalsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

constexpr int minuteMilliseconds = 60 * 1000;
constexpr qint64 inactiveAfterDays = 30;

// Copies a sync engine makes when two computers changed one file; the original stays beside them.
bool isConflictCopy(const QString& fileName)
{
    return fileName.contains(u".sync-conflict-"_s) || fileName.contains(u" (conflicted copy"_s);
}

} // namespace

SharedTotalsFolder::SharedTotalsFolder(Clock clock, RecordSource records, QObject* parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_records(std::move(records))
{
    m_minute.setInterval(minuteMilliseconds);
    connect(&m_minute, &QTimer::timeout, this, &SharedTotalsFolder::minutePassed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &SharedTotalsFolder::rescan);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &SharedTotalsFolder::rescan);
}

QString SharedTotalsFolder::computerName(const Preferences& preferences)
{
    const QString chosen = preferences.value(PreferenceKeys::sharedTotalsName);
    return chosen.isEmpty() ? QSysInfo::machineHostName() : chosen;
}

void SharedTotalsFolder::start(const QString& folder, const QString& id, const QString& name)
{
    stop();
    m_folder = folder;
    m_id = id;
    m_name = name;
    m_changed = true;
    rescan();
    m_minute.start();
}

void SharedTotalsFolder::stop()
{
    m_minute.stop();
    if (!m_watcher.files().isEmpty() || !m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.files() + m_watcher.directories());
    m_folder.clear();
    m_lastWritten.clear();
    setProblem({});
    if (m_computers.isEmpty())
        return;
    m_computers.clear();
    Q_EMIT totalsChanged();
}

QString SharedTotalsFolder::directory() const
{
    return m_folder + u"/Lumatick"_s;
}

QString SharedTotalsFolder::ownPath() const
{
    return directory() + u'/' + m_id + u".csv"_s;
}

void SharedTotalsFolder::minutePassed()
{
    if (m_changed)
        publish();
    rescan();
}

bool SharedTotalsFolder::publish()
{
    if (!isSharing())
        return false;
    QString problem;
    const QByteArray contents = SharedTotalsFile::build(m_name, m_records());
    QSaveFile file(ownPath());
    if (!QFileInfo(m_folder).isDir())
        problem = u"The folder %1 does not exist."_s.arg(m_folder);
    else if (!QDir().mkpath(directory()) || !file.open(QIODevice::WriteOnly) ||
             file.write(contents) != contents.size() || !file.commit())
        problem = u"The folder %1 cannot be written: %2"_s.arg(m_folder, file.errorString());
    setProblem(problem);
    report(u"."_s, problem);
    if (!problem.isEmpty())
        return false;
    m_lastWritten = contents;
    m_changed = false;
    return true;
}

void SharedTotalsFolder::rescan()
{
    if (!isSharing())
        return;
    const QMap<QString, Computer> before = m_computers;
    const QString id = m_id;
    checkOwnFile();
    const QStringList names = QDir(directory()).entryList({u"*.csv"_s}, QDir::Files);
    for (const QString& fileName : names)
        readComputer(fileName);
    for (auto it = m_computers.begin(); it != m_computers.end();)
        it = names.contains(it.key()) ? std::next(it) : m_computers.erase(it);
    watch();
    if (m_computers != before || m_id != id)
        Q_EMIT totalsChanged();
}

void SharedTotalsFolder::readComputer(const QString& fileName)
{
    if (fileName == m_id + u".csv"_s)
        return;
    if (isConflictCopy(fileName))
        return report(fileName, u"ignored: a conflict copy made by the sync engine"_s);
    QFile input(directory() + u'/' + fileName);
    if (!input.open(QIODevice::ReadOnly))
        return report(fileName, u"cannot be read (%1); retried later"_s.arg(input.errorString()));
    const SharedTotalsFile parsed = SharedTotalsFile::parse(input.readAll());
    if (parsed.status == SharedTotalsFile::Status::newerFormat)
        return report(fileName, u"skipped: %1"_s.arg(parsed.problem));
    if (parsed.status == SharedTotalsFile::Status::unreadable)
        return report(fileName, u"not read (%1); the last whole reading is kept and retried later"_s.arg(
                                    parsed.problem));
    Computer& computer = m_computers[fileName];
    // A partly written file keeps the last whole reading of the days after the cut.
    QMap<QDate, qint64> days =
        parsed.status == SharedTotalsFile::Status::partial ? computer.days : QMap<QDate, qint64>();
    days.insert(parsed.days);
    computer = {QFileInfo(fileName).completeBaseName(), parsed.name, days, false};
    const QDate today = m_clock().toLocalTime().date();
    computer.inactive = days.isEmpty() || days.lastKey().daysTo(today) > inactiveAfterDays;
    if (parsed.status == SharedTotalsFile::Status::partial)
        report(fileName, u"read in part: %1; retried later"_s.arg(parsed.problem));
    else if (computer.inactive)
        report(fileName, u"%1 has been silent for over %2 days: inactive, still counted"_s.arg(parsed.name)
                             .arg(inactiveAfterDays));
    else
        report(fileName, {});
}

// A file under this computer's id that is not what it wrote last means a second installation
// claims the same id (a cloned disk). This one moves to a new id, so both stay apart.
void SharedTotalsFolder::checkOwnFile()
{
    QFile own(ownPath());
    if (m_lastWritten.isEmpty() || !own.open(QIODevice::ReadOnly) || own.readAll() == m_lastWritten)
        return;
    const QString claimed = m_id;
    m_id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    qCWarning(lcScreenTime,
              "shared totals: another installation writes under the id %s; this one now writes %s.csv",
              qPrintable(claimed), qPrintable(m_id));
    m_lastWritten.clear();
    m_changed = true;
    m_tookNewId = true;
    Q_EMIT installationIdChanged(m_id);
    publish();
}

// The folder tells of files added, removed or renamed in (a sync engine's usual way); the files
// themselves of writes in place.
void SharedTotalsFolder::watch()
{
    QStringList paths{directory()};
    for (const QString& fileName : m_computers.keys())
        paths.append(directory() + u'/' + fileName);
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    for (const QString& path : std::as_const(paths)) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            m_watcher.addPath(path);
    }
}

void SharedTotalsFolder::report(const QString& key, const QString& message)
{
    if (m_reported.value(key) == message)
        return;
    m_reported.insert(key, message);
    if (!message.isEmpty())
        qCWarning(lcScreenTime, "shared totals: %s: %s", qPrintable(key == u"."_s ? m_folder : key),
                  qPrintable(message));
}

void SharedTotalsFolder::setProblem(const QString& problem)
{
    if (m_problem == problem)
        return;
    m_problem = problem;
    Q_EMIT problemChanged();
}

QMap<QDate, qint64> SharedTotalsFolder::allComputersDays(QMap<QDate, qint64> own) const
{
    for (const Computer& computer : m_computers) {
        for (auto day = computer.days.cbegin(); day != computer.days.cend(); ++day)
            own[day.key()] += day.value();
    }
    return own;
}

qint64 SharedTotalsFolder::allComputersSeconds(QDate day, qint64 ownSeconds) const
{
    qint64 sum = ownSeconds;
    for (const Computer& computer : m_computers)
        sum += computer.days.value(day);
    return sum;
}
