#include "FakeIdleTimeSource.h"
#include "StoreFixture.h"

namespace {

const QDateTime tenOClock(QDate(2026, 12, 7), QTime(10, 0));

class ActivityTrackerTest : public TrackingFixture {
protected:
    ActivityTrackerTest()
        : TrackingFixture(tenOClock)
    {}

    FakeIdleTimeSource m_source{[this] { return m_clock.now(); }};
};

// The clock set back while the user is away: the time since the last input must not restart
// from the future, or the user counts as present for the whole jump plus the timeout.
TEST_F(ActivityTrackerTest, clockSetBackTakesTheLastInputBackWithIt)
{
    const struct {
        int awayBeforeJump;
        double jump;
        bool withSource;
    } cases[] = {{100, -3600, false}, {100, -3600, true}, {299, -86400, false}, {0, -0.5, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.awayBeforeJump << " s away, " << c.jump << " s, source " << c.withSource);
        m_tracker.setIdleTimeSource(c.withSource ? &m_source : nullptr);
        m_tracker.recordActivity();
        m_source.setLastInput(m_clock.now());
        m_clock.advance(c.awayBeforeJump);
        ASSERT_TRUE(m_tracker.isUserActive());
        m_clock.advance(c.jump);
        // The source measures idle time on its own clock, which no wall-clock change moves.
        m_source.setLastInput(m_clock.now().addSecs(-c.awayBeforeJump));
        EXPECT_TRUE(m_tracker.isUserActive());
        m_clock.set(m_clock.now().addMSecs(299'900 - c.awayBeforeJump * 1000));
        EXPECT_TRUE(m_tracker.isUserActive());
        m_clock.advance(0.1);
        EXPECT_FALSE(m_tracker.isUserActive());
    }
}

} // namespace
