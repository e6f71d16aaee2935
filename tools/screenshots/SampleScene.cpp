#include "SampleScene.h"

#include "StoreOpener.h"

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 hour = 3600;
}

const QDate SampleScene::today(2026, 12, 5);

SampleScene::SampleScene()
    : m_now(today, QTime(14, 0))
    , m_preferences(m_dir.filePath(u"Lumatick.conf"_s))
    , m_tracker(clock())
    , m_manager(m_tracker, m_preferences, clock())
    , m_model(m_manager, m_tracker, m_preferences, clock())
{
    m_preferences.registerDefaults();
    m_store = StoreOpener(m_dir.path(), m_preferences).open(m_now).store;
    m_manager.setModelContext(m_store.get());
    m_model.setModelContext(m_store.get());
}

Clock SampleScene::clock() const
{
    const QDateTime now = m_now;
    return [now] { return now; };
}

void SampleScene::recordLastDays(const QList<qint64>& seconds)
{
    if (!m_store)
        return;
    for (qsizetype i = 0; i < seconds.size(); ++i) {
        if (seconds.at(i) > 0)
            m_store->saveDayTotal(today.addDays(i + 1 - seconds.size()).startOfDay(), seconds.at(i));
    }
    m_manager.loadTodayTotal();
}

void SampleScene::recordLongHistory()
{
    QList<qint64> days;
    for (int back = 540; back >= 6; --back)
        days.append((back * 7919) % (8 * hour) + 20 * 60);
    days.append({7 * hour, 4 * hour, 3 * hour, 5 * hour + 1800, 2700, 2 * hour + 1800});
    recordLastDays(days);
}

void SampleScene::refreshMenuBarModel()
{
    m_model.refresh();
    m_model.refreshStatistics();
}
