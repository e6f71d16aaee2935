#include "BreakReminder.h"
#include "BreakReminderNotifier.h"

#include "ActivityTracker.h"
#include "FakeNotificationCenter.h"
#include "Preferences.h"
#include "ScreenTimeManager.h"

#include "FakeClock.h"
#include "QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(BreakDurationWordingTest, minutesBelowAnHourAndHoursWithTheRestInMinutesAbove)
{
    const struct {
        qint64 minutes;
        QString wording;
    } cases[] = {
        {1, u"1 minute"_s},        {2, u"2 minutes"_s},       {45, u"45 minutes"_s},
        {59, u"59 minutes"_s},     {60, u"1 hour"_s},         {61, u"1 hour 1 min"_s},
        {90, u"1 hour 30 min"_s},  {119, u"1 hour 59 min"_s}, {120, u"2 hours"_s},
        {125, u"2 hours 5 min"_s}, {1500, u"25 hours"_s},     {60'001, u"1000 hours 1 min"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minutes);
        EXPECT_EQ(breakDurationWording(c.minutes), c.wording);
    }
}

TEST(BreakDurationWordingTest, reminderSentenceUsesTypographicApostropheAndDash)
{
    EXPECT_EQ(breakReminderBody(90),
              u"You’ve been at your screen for 1 hour 30 min straight — take a break."_s);
    EXPECT_EQ(breakReminderBody(1), u"You’ve been at your screen for 1 minute straight — take a break."_s);
}

class BreakReminderNotifierTest : public testing::Test {
protected:
    QTemporaryDir m_dir;
    Preferences m_preferences{m_dir.filePath(u"p.conf"_s)};
    FakeClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(10, 0))};
    ActivityTracker m_tracker{m_clock.clock()};
    ScreenTimeManager m_manager{m_tracker, m_preferences, m_clock.clock()};
    FakeNotificationCenter m_center;
    BreakReminderNotifier m_notifier{m_manager, m_center};
};

TEST_F(BreakReminderNotifierTest, dueReminderIsPostedOnceForImmediateDelivery)
{
    m_manager.sendBreakReminder(45);

    EXPECT_EQ(m_center.log(), QStringList({u"add com.lumatick.breakReminder"_s}));
    ASSERT_EQ(m_center.delivered().size(), 1);
    const NotificationRequest& posted = m_center.delivered().first();
    EXPECT_EQ(posted.identifier, u"com.lumatick.breakReminder"_s);
    EXPECT_EQ(posted.title, u"Lumatick"_s);
    EXPECT_EQ(posted.body, breakReminderBody(45));
    EXPECT_TRUE(posted.defaultSound);
    EXPECT_FALSE(posted.trigger);
    EXPECT_TRUE(m_center.pendingIdentifiers().isEmpty());
}

TEST_F(BreakReminderNotifierTest, failingCentreLosesOnlyThatReminder)
{
    m_center.setFailing(true);
    m_manager.sendBreakReminder(60);
    EXPECT_TRUE(m_center.delivered().isEmpty());

    m_center.setFailing(false);
    m_manager.sendBreakReminder(90);
    ASSERT_EQ(m_center.delivered().size(), 1);
    EXPECT_EQ(m_center.delivered().first().body, breakReminderBody(90));
}

} // namespace
