#pragma once

#include "Preferences.h"
#include "RecordStore.h"

#include <QDate>
#include <QTemporaryDir>

#include <memory>

// A store holding fifty years of daily records, the most a long-lived installation will ever
// hold, built once per benchmark run and shared by every benchmark. Most days meet the daily
// goal; every 40th does not, so streaks are realistic rather than endless.
class FiftyYearStore {
public:
    static constexpr int days = 18'262;
    static inline const QDate firstDay{1980, 1, 1};
    // The day after the last record, as "today" for the models.
    static inline const QDate today = firstDay.addDays(days);

    static FiftyYearStore& shared();

    RecordStore& store() { return *m_store; }
    const Preferences& preferences() const { return m_preferences; }

private:
    FiftyYearStore();
    void fill(const QString& path) const;

    QTemporaryDir m_directory;
    Preferences m_preferences;
    std::unique_ptr<RecordStore> m_store;
};
