#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

class StoreAccess;

// Today's figures as `lumatick status` prints them: today's total, tier and pause state, live
// from the running instance when it answers, else as last saved; yesterday, the seven-day
// average and the goal streak always from the store.
class StatusReport {
public:
    enum class Format { plain, json, waybar };
    static std::optional<Format> formatNamed(const QString& name);

    // Keeps a reference; `access` must outlive the report.
    explicit StatusReport(StoreAccess& access);

    // Every figure from the store again, forgetting live ones; the reason when it cannot be read.
    QString readStore();
    // Today's total, tier and pause state from the control object's properties; false, with
    // nothing changed, when one of them is missing.
    bool takeLive(const QVariantMap& properties);
    qint64 todaySeconds() const { return m_todaySeconds; }

    // Plain text is several lines for people, or with `oneLine` today's total and pause state
    // alone, for status bars; JSON and the waybar module are one line each.
    QString text(Format format, bool oneLine = false) const;

private:
    QString plainText() const;
    QString json() const;
    QString waybar() const;
    int percentOfRedThreshold() const;
    void readSharedFolder();

    StoreAccess& m_access;
    qint64 m_todaySeconds = 0;
    QString m_todayText;
    QString m_tier;
    bool m_paused = false;
    qint64 m_yesterdaySeconds = 0;
    qint64 m_sevenDayAverageSeconds = 0;
    qint64 m_currentStreak = 0;
    bool m_live = false;
    // Set only while totals are shared with other computers.
    std::optional<qint64> m_allComputersSeconds;
};
