#include "FallbackStatusItem.h"

#include "FakeStatusItem.h"
#include "QtPrinters.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr std::chrono::milliseconds grace{20};

class FallbackStatusItemTest : public testing::Test {
protected:
    // The preferred item starts unseen; the fallback is a fake that is shown.
    void create()
    {
        auto preferred = std::make_unique<FakeStatusItem>();
        preferred->setShown(false);
        m_preferred = preferred.get();
        m_item = std::make_unique<FallbackStatusItem>(
            std::move(preferred),
            [this]() -> std::unique_ptr<StatusItemBackend> {
                auto fallback = std::make_unique<FakeStatusItem>();
                m_fallback = fallback.get();
                return fallback;
            },
            grace);
    }

    FakeStatusItem* m_preferred = nullptr;
    QPointer<FakeStatusItem> m_fallback;
    std::unique_ptr<FallbackStatusItem> m_item;
};

TEST_F(FallbackStatusItemTest, aFallbackStandsInWithEverythingDrawnSoFarUntilTheHostAppears)
{
    create();
    m_item->setLabel(u"5m 00s"_s, u"0m 00s"_s);
    m_item->setToolTip(u"5 minutes"_s);
    m_item->setMenuPaused(true);
    m_item->start();
    EXPECT_FALSE(m_item->isUsingFallback());

    QTest::qWait(4 * grace.count());
    ASSERT_TRUE(m_fallback);
    EXPECT_TRUE(m_fallback->isStarted());
    EXPECT_EQ(m_fallback->label(), u"5m 00s"_s);
    EXPECT_EQ(m_fallback->toolTip(), u"5 minutes"_s);
    EXPECT_TRUE(m_fallback->menuPaused());
    EXPECT_TRUE(m_item->isShown());

    // Clicks on the stand-in reach the application like clicks on the real item.
    QSignalSpy pause(m_item.get(), &StatusItemBackend::pauseToggleRequested);
    Q_EMIT m_fallback->pauseToggleRequested();
    EXPECT_EQ(pause.count(), 1);

    // The preferred item kept up with every change, so it is right the moment its host shows it.
    m_item->setLabel(u"6m 00s"_s, u"0m 00s"_s);
    EXPECT_EQ(m_preferred->label(), u"6m 00s"_s);
    m_preferred->setShown(true);
    EXPECT_FALSE(m_item->isUsingFallback());
    EXPECT_FALSE(m_fallback);
}

} // namespace
