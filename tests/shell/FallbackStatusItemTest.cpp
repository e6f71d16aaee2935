#include "FallbackStatusItem.h"

#include "FakeStatusItem.h"
#include "QtPrinters.h"
#include "WaitUntil.h"

#include <QPointer>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr std::chrono::milliseconds grace{20};

// The preferred item starts unseen; the fallback is a fake that is shown.
TEST(FallbackStatusItemTest, aFallbackStandsInWithEverythingDrawnSoFarUntilTheHostAppears)
{
    auto preferredItem = std::make_unique<FakeStatusItem>();
    preferredItem->setShown(false);
    FakeStatusItem* preferred = preferredItem.get();
    QPointer<FakeStatusItem> fallback;
    FallbackStatusItem item(
        std::move(preferredItem),
        [&]() -> std::unique_ptr<StatusItemBackend> {
            auto created = std::make_unique<FakeStatusItem>();
            fallback = created.get();
            return created;
        },
        grace);
    item.setLabel(u"5m 00s"_s, u"0m 00s"_s);
    item.setToolTip(u"5 minutes"_s);
    item.setMenuPaused(true);
    item.start();
    EXPECT_FALSE(item.isUsingFallback());

    ASSERT_TRUE(waitUntil([&] { return !fallback.isNull(); }));
    EXPECT_TRUE(fallback->isStarted());
    EXPECT_EQ(fallback->label(), u"5m 00s"_s);
    EXPECT_EQ(fallback->toolTip(), u"5 minutes"_s);
    EXPECT_TRUE(fallback->menuPaused());
    EXPECT_TRUE(item.isShown());

    // Clicks on the stand-in reach the application like clicks on the real item.
    QSignalSpy pause(&item, &StatusItemBackend::pauseToggleRequested);
    Q_EMIT fallback->pauseToggleRequested();
    EXPECT_EQ(pause.count(), 1);

    // The preferred item kept up with every change, so it is right the moment its host shows it.
    item.setLabel(u"6m 00s"_s, u"0m 00s"_s);
    EXPECT_EQ(preferred->label(), u"6m 00s"_s);
    preferred->setShown(true);
    EXPECT_FALSE(item.isUsingFallback());
    EXPECT_FALSE(fallback);
}

} // namespace
