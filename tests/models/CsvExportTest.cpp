#include "CsvExport.h"

#include "AnsweringChooser.h"
#include "FileContents.h"
#include "ScopedTimeZone.h"
#include "StoreFixture.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

const QByteArray header = "date,total_seconds,total_formatted,goal_met\n";

class CsvExportTest : public StoreFixture {
protected:
    CsvExportTest()
        : StoreFixture(QDateTime(QDate(2026, 12, 5), QTime(9, 0)))
    {}

    QByteArray file(const QString& name)
    {
        return QFile::exists(m_dir.filePath(name)) ? readFile(m_dir.filePath(name)) : "(missing)";
    }
    void write(const QString& name, const QByteArray& bytes)
    {
        ASSERT_TRUE(writeFile(m_dir.filePath(name), bytes));
    }
};

} // namespace

TEST(BuildCsv, oneLinePerRecordInDateOrderWithTheLocalDayAndTheChosenDurationForm)
{
    const auto record = [](int month, int day, qint64 seconds, bool goalMet) {
        return DailyScreenTime(QDate(2026, month, day).startOfDay(), seconds, goalMet);
    };
    EXPECT_EQ(buildCSV({}, true), header);
    const QList<DailyScreenTime> records{record(12, 4, 16632, true), record(1, 2, 45, false),
                                         record(3, 29, 0, false)};
    EXPECT_EQ(buildCSV(records, true),
              header + "2026-01-02,45,45s,false\n2026-03-29,0,0s,false\n2026-12-04,16632,4h 37m 12s,true\n");
    EXPECT_EQ(buildCSV(records, false),
              header + "2026-01-02,45,0m,false\n2026-03-29,0,0m,false\n2026-12-04,16632,4h 37m,true\n");
    ScopedTimeZone auckland("Pacific/Auckland"); // whose midnight is the previous day in UTC
    EXPECT_EQ(buildCSV({record(1, 1, 7, true)}, true), header + "2026-01-01,7,7s,true\n");
}

TEST_F(CsvExportTest, theStoredRecordsReplaceTheChosenFileWholeAndNothingElseIsEverTouched)
{
    m_preferences.setValue(PreferenceKeys::dailyGoalEnabled, true);
    m_preferences.setValue(PreferenceKeys::showSeconds, false);
    save(QDate(2026, 12, 4), 16632);
    save(QDate(2026, 11, 1), 30000);
    write(u"old.csv"_s, QByteArray(500, 'x'));
    write(u"folder"_s, "keep"); // a plain file, so nothing can be created inside it
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    AnsweringChooser chooser;
    for (const auto& answer :
         {std::optional<QString>(), std::optional(QString()),
          std::optional(m_dir.filePath(u"folder/a.csv"_s)), std::optional(m_dir.filePath(u"old.csv"_s))}) {
        chooser.answer = answer; // cancelled, no place, a place that cannot be written, and a file
        EXPECT_EQ(exportCSV(m_store.get(), m_preferences, chooser), std::nullopt);
    }
    EXPECT_EQ(chooser.offered, QStringList(4, u"lumatick-export.csv"_s));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), before);
    EXPECT_EQ(file(u"folder"_s), "keep");
    EXPECT_EQ(file(u"old.csv"_s), header + "2026-11-01,30000,8h 20m,false\n2026-12-04,16632,4h 37m,true\n");
}
