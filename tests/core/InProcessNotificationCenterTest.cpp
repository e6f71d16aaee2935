#include "InProcessNotificationCenter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(InProcessNotificationCenterTest, deliversQueuedAndOnlyToObserversOfTheName)
{
    InProcessNotificationCenter center;
    QObject owner;
    int shortcutChanges = 0;
    int hotKeyPresses = 0;
    center.observe(InProcessNotificationCenter::shortcutChanged, &owner, [&] { ++shortcutChanges; });
    center.observe(InProcessNotificationCenter::hotKeyPressed, &owner, [&] { ++hotKeyPresses; });

    center.post(InProcessNotificationCenter::hotKeyPressed);
    center.post(InProcessNotificationCenter::hotKeyPressed);
    // Queued: nothing runs inside post().
    EXPECT_EQ(hotKeyPresses, 0);

    QCoreApplication::processEvents();
    EXPECT_EQ(hotKeyPresses, 2);
    EXPECT_EQ(shortcutChanges, 0);
}

TEST(InProcessNotificationCenterTest, observationEndsWithHandleOrOwner)
{
    InProcessNotificationCenter center;
    auto owner = std::make_unique<QObject>();
    QObject otherOwner;
    int ownerCalls = 0;
    int handleCalls = 0;
    center.observe(InProcessNotificationCenter::notifPrefsChanged, owner.get(), [&] { ++ownerCalls; });
    const QMetaObject::Connection handle =
        center.observe(InProcessNotificationCenter::notifPrefsChanged, &otherOwner, [&] { ++handleCalls; });

    center.post(InProcessNotificationCenter::notifPrefsChanged);
    QCoreApplication::processEvents();
    EXPECT_EQ(ownerCalls, 1);
    EXPECT_EQ(handleCalls, 1);

    QObject::disconnect(handle);
    // Posted before the owner goes away, delivered after: the handler must not run.
    center.post(InProcessNotificationCenter::notifPrefsChanged);
    owner.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(ownerCalls, 1);
    EXPECT_EQ(handleCalls, 1);
}

} // namespace
