#include "CsvExport.h"
#include "CsvFileChooser.h"
#include "Preferences.h"
#include "StoreOpener.h"

#include "ScopedTimeZone.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace PreferenceKeys;

namespace {

constexpr qint64 fourHoursThirtySevenMinutesTwelveSeconds = 4 * 3600 + 37 * 60 + 12;
const char header[] = "date,total_seconds,total_formatted,goal_met\n";

DailyScreenTime record(int month, int day, qint64 seconds, bool goalMet)
{
    return DailyScreenTime(QDate(2026, month, day).startOfDay(), seconds, goalMet);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// Answers the save dialog as a user would, and remembers what it was offered.
class ScriptedChooser : public CsvFileChooser {
public:
    explicit ScriptedChooser(std::optional<QString> answer)
        : m_answer(std::move(answer))
    {}

    std::optional<QString> chooseSaveLocation(const QString& suggestedName) override
    {
        m_offered.append(suggestedName);
        return m_answer;
    }

    const QStringList& offered() const { return m_offered; }

private:
    std::optional<QString> m_answer;
    QStringList m_offered;
};

class CsvExportTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_preferences.registerDefaults();
        StoreOpener opener(m_dir.path(), m_preferences);
        m_store = opener.open(QDateTime(QDate(2026, 12, 5), QTime(9, 0))).store;
        ASSERT_TRUE(m_store);
    }

    QString exportPath() const { return m_dir.filePath(u"out/lumatick-export.csv"_s); }

    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    std::unique_ptr<RecordStore> m_store;
};

} // namespace

TEST(BuildCsv, noRecordsGiveTheHeaderLineAlone)
{
    EXPECT_EQ(buildCSV({}, true), QByteArray(header));
}

TEST(BuildCsv, linesAreByteExactWithAndWithoutSeconds)
{
    const QList<DailyScreenTime> records{record(12, 4, fourHoursThirtySevenMinutesTwelveSeconds, true),
                                         record(12, 5, 45, false)};

    EXPECT_EQ(buildCSV(records, true), QByteArray(header) + "2026-12-04,16632,4h 37m 12s,true\n"
                                                            "2026-12-05,45,45s,false\n");
    EXPECT_EQ(buildCSV(records, false), QByteArray(header) + "2026-12-04,16632,4h 37m,true\n"
                                                             "2026-12-05,45,0m,false\n");
}

TEST(BuildCsv, recordsAreWrittenInDateOrderWhateverTheInputOrder)
{
    const QList<DailyScreenTime> records{record(3, 30, 3, false), record(1, 2, 1, false),
                                         record(3, 29, 2, false)};

    EXPECT_EQ(buildCSV(records, true), QByteArray(header) + "2026-01-02,1,1s,false\n"
                                                            "2026-03-29,2,2s,false\n"
                                                            "2026-03-30,3,3s,false\n");
}

TEST(BuildCsv, datesAreTheLocalDayNotTheUtcDay)
{
    // Berlin's midnight is the previous evening in UTC.
    ScopedTimeZone berlin("Europe/Berlin");
    EXPECT_EQ(buildCSV({record(1, 1, 0, false)}, true), QByteArray(header) + "2026-01-01,0,0s,false\n");

    ScopedTimeZone auckland("Pacific/Auckland");
    const DailyScreenTime aucklandNewYear(QDate(2026, 1, 1).startOfDay(), 7, true);
    EXPECT_EQ(buildCSV({aucklandNewYear}, true), QByteArray(header) + "2026-01-01,7,7s,true\n");
}

TEST_F(CsvExportTest, exportWritesEveryStoredRecordWithTheShowSecondsPreference)
{
    m_preferences.setValue(dailyGoalEnabled, true);
    m_store->saveDayTotal(QDate(2026, 12, 4).startOfDay(), fourHoursThirtySevenMinutesTwelveSeconds);
    m_store->saveDayTotal(QDate(2026, 11, 1).startOfDay(), 30000);
    m_preferences.setValue(showSeconds, false);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"out"_s));
    ScriptedChooser chooser(exportPath());

    exportCSV(m_store.get(), m_preferences, chooser);

    EXPECT_EQ(chooser.offered(), QStringList{u"lumatick-export.csv"_s});
    EXPECT_EQ(readFile(exportPath()), QByteArray(header) + "2026-11-01,30000,8h 20m,false\n"
                                                           "2026-12-04,16632,4h 37m,true\n");
}

TEST_F(CsvExportTest, exportReplacesAnEarlierLongerFileWhole)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"out"_s));
    ASSERT_TRUE(writeFile(exportPath(), QByteArray(500, 'x')));
    ScriptedChooser chooser(exportPath());

    exportCSV(m_store.get(), m_preferences, chooser);

    EXPECT_EQ(readFile(exportPath()), QByteArray(header));
}

TEST_F(CsvExportTest, cancellingWritesNothing)
{
    ScriptedChooser cancelled(std::nullopt);
    ScriptedChooser noLocation{QString()};

    exportCSV(m_store.get(), m_preferences, cancelled);
    exportCSV(m_store.get(), m_preferences, noLocation);

    EXPECT_EQ(cancelled.offered().size(), 1);
    EXPECT_EQ(noLocation.offered().size(), 1);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
              (QStringList{u"default.store"_s, u"default.store-shm"_s, u"default.store-wal"_s}));
}

TEST_F(CsvExportTest, anUnwritablePlaceIsAbandonedQuietly)
{
    // The chosen folder is a plain file, so no file can be created inside it.
    ASSERT_TRUE(writeFile(m_dir.filePath(u"out"_s), "keep"));
    ScriptedChooser chooser(exportPath());

    exportCSV(m_store.get(), m_preferences, chooser);

    EXPECT_EQ(readFile(m_dir.filePath(u"out"_s)), QByteArray("keep"));
    EXPECT_FALSE(QFile::exists(exportPath()));
}

TEST_F(CsvExportTest, withoutAStoreTheUserIsNeverAsked)
{
    ScriptedChooser chooser(exportPath());

    exportCSV(nullptr, m_preferences, chooser);

    EXPECT_TRUE(chooser.offered().isEmpty());
}
