#include "ReliabilityTest.h"

namespace {

// The counter on a panel whose X server goes away, as at the end of a session that ends its
// display before it sends SIGTERM: Qt ends the process at once, and no second counted is lost.
using DisplayLossTest = PanelSessionTest;

TEST_F(DisplayLossTest, theTimeCountedIsSavedWhenTheDisplayGoesAway)
{
    constexpr qint64 earlierToday = 3600;
    ASSERT_TRUE(seedDay(QDate::currentDate(), earlierToday));
    QProcess* app = startPanel();
    const std::optional<qint64> lastShown = waitForLiveSeconds(earlierToday + 3);
    ASSERT_TRUE(lastShown) << "the counter does not count";

    m_display.stop();
    ASSERT_TRUE(app->waitForFinished(10'000));
    EXPECT_GE(readStore().value(dayKey(QDate::currentDate())), *lastShown) << logOf(app).toStdString();
}

} // namespace
