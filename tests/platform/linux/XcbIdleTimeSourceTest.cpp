#include "XcbIdleTimeSource.h"

#include "X11Test.h"

namespace {

class XcbIdleTimeSourceTest : public X11Test {};

double idleSeconds(XcbIdleTimeSource& source)
{
    return source.secondsSinceLastInput().value_or(-1.0);
}

TEST_F(XcbIdleTimeSourceTest, xvfbOffersTheScreenSaverExtension)
{
    EXPECT_TRUE(XcbIdleTimeSource::isAvailable(*m_connection));
    EXPECT_EQ(XcbIdleTimeSource(*m_connection).name(), QStringLiteral("xcb-screensaver"));
}

TEST_F(XcbIdleTimeSourceTest, idleTimeGrowsWithoutInputAndDropsAfterPointerMotion)
{
    XcbIdleTimeSource source(*m_connection);
    ASSERT_TRUE(source.secondsSinceLastInput().has_value());
    ASSERT_TRUE(waitUntil([&] { return idleSeconds(source) >= 1.0; }));

    // Two moves, so the pointer really moves whatever its starting position.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("10"), QStringLiteral("10")});
    xdotool({QStringLiteral("mousemove"), QStringLiteral("20"), QStringLiteral("20")});
    const double idle = idleSeconds(source);
    EXPECT_GE(idle, 0.0);
    EXPECT_LT(idle, 0.9);
}

TEST(XcbIdleTimeSourceWithoutDisplay, answersNothingInsteadOfCrashing)
{
    XcbConnection connection(QStringLiteral(":4999"));
    EXPECT_FALSE(connection.isValid());
    EXPECT_FALSE(XcbIdleTimeSource::isAvailable(connection));
    EXPECT_EQ(XcbIdleTimeSource(connection).secondsSinceLastInput(), std::nullopt);
}

} // namespace
