#include "BreakReminder.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The text names the configured stretch, in minutes below an hour and in hours with the rest
// in minutes from there on.
TEST(BreakReminderTest, bodyNamesTheConfiguredStretch)
{
    const struct {
        qint64 minutes;
        QString wording;
    } cases[] = {
        {1, u"1 minute"_s},  {45, u"45 minutes"_s},     {59, u"59 minutes"_s},
        {60, u"1 hour"_s},   {61, u"1 hour 1 min"_s},   {119, u"1 hour 59 min"_s},
        {120, u"2 hours"_s}, {125, u"2 hours 5 min"_s}, {60'001, u"1000 hours 1 min"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minutes);
        EXPECT_EQ(breakReminderBody(c.minutes),
                  u"You’ve been at your screen for "_s + c.wording + u" straight — take a break."_s);
    }
}

} // namespace
