#pragma once

#include <array>

// The store's schema versions and the plan for moving between them. There is one schema and
// no migration stage yet; a store written by a newer schema is not opened.
struct SchemaVersion {
    int major;
    int minor;
    int patch;

    // The form kept in SQLite's PRAGMA user_version: 1.0.0 is 10000.
    constexpr int userVersion() const { return major * 10000 + minor * 100 + patch; }
};

struct DailyScreenTimeSchemaV1 {
    static constexpr SchemaVersion version{1, 0, 0};
    static constexpr const char* createStatements[] = {
        "CREATE TABLE IF NOT EXISTS DailyScreenTime ("
        " id INTEGER PRIMARY KEY,"
        " date INTEGER NOT NULL,"
        " totalSeconds INTEGER NOT NULL,"
        " goalMet INTEGER NOT NULL)",
        // Every reader selects by date; the index is deliberately not unique, saving keeps
        // one record per day by updating before it inserts.
        "CREATE INDEX IF NOT EXISTS DailyScreenTime_date ON DailyScreenTime(date)",
    };
};

struct MigrationStage {
    SchemaVersion from;
    SchemaVersion to;
};

struct DailyScreenTimeMigrationPlan {
    static constexpr std::array schemas{DailyScreenTimeSchemaV1::version};
    static constexpr std::array<MigrationStage, 0> stages{};
    static constexpr SchemaVersion current = schemas.back();
};
