#include "TotalsSharing.h"

#include "PreferenceKeys.h"
#include "Preferences.h"
#include "RecordQuery.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"

#include <QUuid>

TotalsSharing::TotalsSharing(Preferences& preferences, RecordStore* store, ScreenTimeManager& manager,
                             Clock clock, QObject* parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_store(store)
    , m_manager(manager)
    , m_clock(clock)
    , m_folder(clock, [this] { return ownRecords(); })
{
    connect(&m_manager, &ScreenTimeManager::accumulatedSecondsChanged, &m_folder,
            &SharedTotalsFolder::noteChange);
    connect(&m_folder, &SharedTotalsFolder::installationIdChanged, this,
            [this](const QString& id) { m_preferences.setValue(PreferenceKeys::installationId, id); });
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == QLatin1StringView(PreferenceKeys::sharedTotalsFolder.name) ||
            key == QLatin1StringView(PreferenceKeys::sharedTotalsName.name))
            applyPreferences();
    });
}

void TotalsSharing::applyPreferences()
{
    const QString folder = m_preferences.value(PreferenceKeys::sharedTotalsFolder);
    if (folder.isEmpty())
        return m_folder.stop();
    m_folder.start(folder, installationId(), SharedTotalsFolder::computerName(m_preferences));
    m_folder.publish();
}

std::optional<qint64> TotalsSharing::allComputersToday() const
{
    if (!m_folder.isSharing())
        return std::nullopt;
    return m_folder.allComputersSeconds(m_clock().toLocalTime().date(), m_manager.accumulatedSeconds());
}

// The stored days with today's raised to the live figure, which the store trails by up to a minute.
QList<DailyScreenTime> TotalsSharing::ownRecords() const
{
    QList<DailyScreenTime> records = m_store ? m_store->fetch(RecordQuery()) : QList<DailyScreenTime>();
    const QDate today = m_clock().toLocalTime().date();
    for (DailyScreenTime& record : records) {
        if (record.date().date() == today) {
            record.setTotalSeconds(std::max(record.totalSeconds(), m_manager.accumulatedSeconds()));
            return records;
        }
    }
    records.append(DailyScreenTime(today.startOfDay(), m_manager.accumulatedSeconds(), false));
    return records;
}

// Made once and kept: the machine id alone is shared by every clone of a disk.
QString TotalsSharing::installationId()
{
    QString id = m_preferences.value(PreferenceKeys::installationId);
    if (id.isEmpty()) {
        id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        m_preferences.setValue(PreferenceKeys::installationId, id);
    }
    return id;
}
