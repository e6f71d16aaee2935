#include "FakeNotificationCenter.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using AuthorizationStatus = NotificationCenter::AuthorizationStatus;

namespace {

const QString summaryId = u"com.lumatick.daily"_s;

NotificationRequest scheduled(const QString& identifier, const QString& body)
{
    return {identifier, u"Lumatick"_s, body, true, CalendarTrigger{std::nullopt, 22, 0, true}};
}

NotificationRequest immediate(const QString& identifier, const QString& body)
{
    return {identifier, u"Lumatick"_s, body, true, std::nullopt};
}

TEST(FakeNotificationCenterTest, addingUnderAPendingIdentifierReplacesTheEarlierRequest)
{
    FakeNotificationCenter center;
    center.add(scheduled(summaryId, u"old"_s));
    center.add(scheduled(u"other"_s, u"kept"_s));
    center.add(scheduled(summaryId, u"new"_s));

    EXPECT_EQ(center.pendingIdentifiers(), QStringList({summaryId, u"other"_s}));
    EXPECT_EQ(center.pendingRequest(summaryId)->body, u"new"_s);
    EXPECT_TRUE(center.delivered().isEmpty());
}

TEST(FakeNotificationCenterTest, requestWithoutTriggerIsDeliveredAtOnceInPlaceOfOneWithItsIdentifier)
{
    FakeNotificationCenter center;
    center.add(scheduled(summaryId, u"scheduled"_s));
    center.add(immediate(summaryId, u"first"_s));
    center.add(immediate(summaryId, u"second"_s));

    EXPECT_FALSE(center.pendingRequest(summaryId));
    ASSERT_EQ(center.delivered().size(), 1);
    EXPECT_EQ(center.delivered().first().body, u"second"_s);

    // Scheduling under a shown identifier replaces the shown notification too.
    center.add(scheduled(summaryId, u"again"_s));
    EXPECT_TRUE(center.delivered().isEmpty());
    EXPECT_EQ(center.pendingRequest(summaryId)->body, u"again"_s);
}

TEST(FakeNotificationCenterTest, removingAPendingRequestLeavesTheOthersAndAnUnknownIdentifierIsHarmless)
{
    FakeNotificationCenter center;
    center.add(scheduled(summaryId, u"a"_s));
    center.add(scheduled(u"other"_s, u"b"_s));
    center.removePending(u"unknown"_s);
    center.removePending(summaryId);

    EXPECT_EQ(center.pendingIdentifiers(), QStringList({u"other"_s}));
    EXPECT_EQ(center.log(), QStringList({u"add com.lumatick.daily"_s, u"add other"_s,
                                         u"removePending unknown"_s, u"removePending com.lumatick.daily"_s}));
}

TEST(FakeNotificationCenterTest, failingCentreReportsFailureAndChangesNothing)
{
    FakeNotificationCenter center;
    center.add(scheduled(summaryId, u"kept"_s));
    center.setFailing(true);

    std::optional<bool> reported;
    center.add(scheduled(u"other"_s, u"lost"_s), [&reported](bool ok) { reported = ok; });
    center.add(immediate(u"now"_s, u"lost"_s));
    center.removePending(summaryId);

    EXPECT_EQ(reported, false);
    EXPECT_EQ(center.pendingIdentifiers(), QStringList({summaryId}));
    EXPECT_TRUE(center.delivered().isEmpty());
    // The calls are still logged, so a test can tell "not tried" from "tried and failed".
    EXPECT_EQ(center.log().size(), 4);

    center.setFailing(false);
    center.add(scheduled(u"other"_s, u"stored"_s), [&reported](bool ok) { reported = ok; });
    EXPECT_EQ(reported, true);
    EXPECT_TRUE(center.pendingRequest(u"other"_s));
}

TEST(FakeNotificationCenterTest, authorisationIsAskedOnceAndOnlyAuthorizedCountsAsGranted)
{
    struct Case {
        AuthorizationStatus before;
        bool answer;
        bool granted;
        AuthorizationStatus after;
    };
    const Case cases[] = {
        {AuthorizationStatus::notDetermined, true, true, AuthorizationStatus::authorized},
        {AuthorizationStatus::notDetermined, false, false, AuthorizationStatus::denied},
        {AuthorizationStatus::denied, true, false, AuthorizationStatus::denied},
        {AuthorizationStatus::authorized, false, true, AuthorizationStatus::authorized},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "before " << static_cast<int>(c.before) << ", answer " << c.answer);
        FakeNotificationCenter center;
        center.setAuthorizationStatus(c.before);
        center.setAnswerToAuthorizationRequest(c.answer);
        std::optional<bool> granted;
        std::optional<AuthorizationStatus> status;
        center.requestAuthorization([&granted](bool ok) { granted = ok; });
        center.authorizationStatus([&status](AuthorizationStatus now) { status = now; });
        EXPECT_EQ(granted, c.granted);
        EXPECT_EQ(status, c.after);
    }
}

TEST(FakeNotificationCenterTest, unreachableServiceNeitherGrantsNorKnowsTheStatus)
{
    FakeNotificationCenter center;
    center.setAuthorizationStatus(AuthorizationStatus::authorized);
    center.setFailing(true);
    std::optional<bool> granted;
    std::optional<AuthorizationStatus> status;
    center.requestAuthorization([&granted](bool ok) { granted = ok; });
    center.authorizationStatus([&status](AuthorizationStatus now) { status = now; });

    EXPECT_EQ(granted, false);
    EXPECT_EQ(status, AuthorizationStatus::notDetermined);
}

} // namespace
