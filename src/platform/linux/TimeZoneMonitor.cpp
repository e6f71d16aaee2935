#include "TimeZoneMonitor.h"

#include "SessionEvents.h"
#include "SessionLogging.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <ctime>

namespace {

// Both announcements of one change arrive within this; a second change is never this fast.
constexpr int coalesceMs = 200;

const QString timedateService = QStringLiteral("org.freedesktop.timedate1");
const QString timedatePath = QStringLiteral("/org/freedesktop/timedate1");

} // namespace

TimeZoneMonitor::TimeZoneMonitor(QDBusConnection systemBus, SessionEvents& events, QString zoneFile,
                                 QObject* parent)
    : QObject(parent)
    , m_systemBus(std::move(systemBus))
    , m_events(events)
    , m_zoneFile(std::move(zoneFile))
{
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(coalesceMs);
    connect(&m_coalesce, &QTimer::timeout, this, &TimeZoneMonitor::announce);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &TimeZoneMonitor::onZoneFileTouched);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &TimeZoneMonitor::onZoneFileTouched);
}

// timedated is started on demand, so the subscription is by name, not by its presence now.
void TimeZoneMonitor::start()
{
    m_systemBus.connect(timedateService, timedatePath, QStringLiteral("org.freedesktop.DBus.Properties"),
                        QStringLiteral("PropertiesChanged"), this,
                        SLOT(onTimedateChanged(QString, QVariantMap, QStringList)));
    m_fingerprint = zoneFileFingerprint();
    watchZoneFile();
}

void TimeZoneMonitor::onTimedateChanged(const QString& interface, const QVariantMap& changed,
                                        const QStringList& invalidated)
{
    const QString property = QStringLiteral("Timezone");
    if (interface == timedateService && (changed.contains(property) || invalidated.contains(property)))
        m_coalesce.start();
}

// The folder changes for many reasons; only a zone file that now reads differently counts.
void TimeZoneMonitor::onZoneFileTouched()
{
    watchZoneFile();
    const QByteArray fingerprint = zoneFileFingerprint();
    if (fingerprint == m_fingerprint)
        return;
    m_fingerprint = fingerprint;
    m_coalesce.start();
}

// Where the link points and what the zone data says: a new zone changes one or the other.
QByteArray TimeZoneMonitor::zoneFileFingerprint() const
{
    QFile file(m_zoneFile);
    const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return QFileInfo(m_zoneFile).symLinkTarget().toUtf8() + '\n' +
           QCryptographicHash::hash(content, QCryptographicHash::Sha1);
}

void TimeZoneMonitor::watchZoneFile()
{
    const QString folder = QFileInfo(m_zoneFile).absolutePath();
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
    if (QFileInfo::exists(m_zoneFile) && !m_watcher.files().contains(m_zoneFile))
        m_watcher.addPath(m_zoneFile);
}

// The C library keeps the zone it read until told to read it again; local time in this
// process follows the new zone from here on.
void TimeZoneMonitor::announce()
{
    tzset();
    qCInfo(lcDesktopSession) << "the system's time zone changed";
    Q_EMIT m_events.timeZoneChanged();
}
