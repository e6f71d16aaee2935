#pragma once

#include "ActivityTracker.h"
#include "MenuBarViewModel.h"
#include "Preferences.h"
#include "RecordStore.h"
#include "ScreenTimeManager.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <memory>

// Fresh preferences and a fresh store in a folder of their own, at a fixed moment of a fixed
// day, with the tracking core and the menu bar model over them: what one picture is drawn from.
class SampleScene {
public:
    static const QDate today;

    SampleScene();

    Preferences& preferences() { return m_preferences; }
    RecordStore* store() { return m_store.get(); }
    ScreenTimeManager& manager() { return m_manager; }
    MenuBarViewModel& menuBarModel() { return m_model; }
    Clock clock() const;

    // Oldest first, the last value being today's total; zero days get no record.
    void recordLastDays(const QList<qint64>& seconds);
    // A year and a half of varied days ending with a chosen week.
    void recordLongHistory();
    void refreshMenuBarModel();

private:
    QTemporaryDir m_dir;
    QDateTime m_now;
    Preferences m_preferences;
    std::unique_ptr<RecordStore> m_store;
    ActivityTracker m_tracker;
    ScreenTimeManager m_manager;
    MenuBarViewModel m_model;
};
