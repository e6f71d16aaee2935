#pragma once

#include "ActivityTracker.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"
#include "StoreOpener.h"

#include "FakeClock.h"

#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

// Preferences with their defaults and a fresh store in a folder of their own, on a fake clock.
class StoreFixture : public testing::Test {
protected:
    explicit StoreFixture(const QDateTime& now)
        : m_clock(now)
    {
        m_preferences.registerDefaults();
        m_store = StoreOpener(m_dir.path(), m_preferences).open(now).store;
    }

    void save(const QDate& day, qint64 seconds) { m_store->saveDayTotal(day.startOfDay(), seconds); }

    // What another process can do to the file behind the open store.
    void executeElsewhere(const QString& sql)
    {
        sqlite3* other = nullptr;
        sqlite3_open(m_dir.filePath(QStringLiteral("default.store")).toUtf8().constData(), &other);
        EXPECT_EQ(sqlite3_exec(other, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sql.toStdString();
        sqlite3_close(other);
    }

    QTemporaryDir m_dir;
    FakeClock m_clock;
    Preferences m_preferences{m_dir.filePath(QStringLiteral("p.conf"))};
    std::unique_ptr<RecordStore> m_store;
};

// The tracking core over that store, wired as the application wires it.
class TrackingFixture : public StoreFixture {
protected:
    explicit TrackingFixture(const QDateTime& now)
        : StoreFixture(now)
    {
        m_manager.setModelContext(m_store.get());
    }

    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_manager{m_tracker, m_preferences, m_clock.clock()};
};
