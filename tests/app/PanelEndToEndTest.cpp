#include "PreferenceKeys.h"
#include "ReliabilityTest.h"
#include "StatusNotifierPixmap.h"
#include "StatusNotifierToolTip.h"

#include "QtPrinters.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QRegularExpression>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// What the panel shows of the item, read over the bus the way a panel host reads it.
struct ItemSnapshot {
    QString label;
    QString toolTipTitle;
    QByteArray icon;
};

// "0s", "5m 03s", "1h 00m 03s", with or without a pause sign (whichever the fonts can draw)
// and a space in front; nothing for any other text.
std::optional<qint64> labelSeconds(const QString& label)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:[^\\d\\s]+ )?(?:(\\d+)h )?(?:(\\d+)m )?(\\d+)s$"));
    const QRegularExpressionMatch match = pattern.match(label);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toLongLong() * 3600 + match.captured(2).toLongLong() * 60 +
           match.captured(3).toLongLong();
}

bool hasPauseSign(const QString& label)
{
    return !label.isEmpty() && !label.front().isDigit();
}

// What a panel host reads of the item, over the bus the way it reads it.
class PanelEndToEndTest : public PanelSessionTest {
protected:
    void SetUp() override
    {
        PanelSessionTest::SetUp();
        StatusNotifierPixmap::registerMetaTypes();
        StatusNotifierToolTip::registerMetaType();
    }

    std::optional<ItemSnapshot> item()
    {
        QDBusMessage getAll = QDBusMessage::createMethodCall(
            m_watcher.registrations().value(0), QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
        getAll << QStringLiteral("org.kde.StatusNotifierItem");
        // Asynchronous, so this process keeps answering the item's own calls meanwhile.
        const QDBusPendingCall pending = m_bus.asyncCall(getAll);
        if (!waitUntil([&] { return pending.isFinished(); }, 5'000) || pending.isError())
            return std::nullopt;
        const QVariantMap properties = qdbus_cast<QVariantMap>(pending.reply().arguments().value(0));
        ItemSnapshot snapshot;
        snapshot.label = properties.value(QStringLiteral("XAyatanaLabel")).toString();
        snapshot.toolTipTitle =
            qdbus_cast<StatusNotifierToolTip>(properties.value(QStringLiteral("ToolTip"))).title;
        const auto pixmaps =
            qdbus_cast<QList<StatusNotifierPixmap>>(properties.value(QStringLiteral("IconPixmap")));
        if (!pixmaps.isEmpty())
            snapshot.icon = pixmaps.first().bytes;
        return snapshot;
    }

    // The seconds the label shows once `condition` holds for them; nothing on a timeout.
    std::optional<qint64> waitForLabel(const std::function<bool(const QString&, qint64)>& condition)
    {
        std::optional<qint64> shown;
        const bool reached = waitUntil(
            [&] {
                const std::optional<ItemSnapshot> snapshot = item();
                shown = snapshot ? labelSeconds(snapshot->label) : std::nullopt;
                return shown && condition(snapshot->label, *shown);
            },
            10'000);
        return reached ? shown : std::nullopt;
    }
};

TEST_F(PanelEndToEndTest, labelCountsUpAndPauseFreezesIt)
{
    startPanel();
    const std::optional<ItemSnapshot> first = item();
    ASSERT_TRUE(first.has_value());
    SCOPED_TRACE("first label: " + first->label.toStdString());
    const std::optional<qint64> firstSeconds = labelSeconds(first->label);
    ASSERT_TRUE(firstSeconds.has_value());
    EXPECT_LE(*firstSeconds, 3) << "a fresh store starts near zero";
    EXPECT_TRUE(first->toolTipTitle.startsWith(QStringLiteral("Screen time today: 0 hours 0 minutes ")))
        << first->toolTipTitle.toStdString();

    ASSERT_TRUE(waitForLabel([&](const QString&, qint64 seconds) { return seconds >= *firstSeconds + 2; }))
        << "the label does not count up";

    ASSERT_EQ(runLumatick({QStringLiteral("ctl"), QStringLiteral("toggle-pause")}), 0);
    ASSERT_TRUE(waitForLabel([](const QString& label, qint64) { return hasPauseSign(label); }))
        << "no pause sign after toggle-pause";
    const std::optional<ItemSnapshot> paused = item();
    ASSERT_TRUE(paused.has_value());
    EXPECT_NE(paused->icon, first->icon) << "the icon does not show the pause";

    // Two ticks and more: a running counter would have moved on.
    QTest::qWait(2'500);
    const std::optional<ItemSnapshot> later = item();
    ASSERT_TRUE(later.has_value());
    EXPECT_EQ(later->label, paused->label);
}

TEST_F(PanelEndToEndTest, secondStartOpensThePanelAndAddsNoSecondItem)
{
    QProcess* first = startPanel();
    ASSERT_TRUE(waitForLabel([](const QString&, qint64) { return true; }).has_value());

    ASSERT_FALSE(windowIsVisible());

    EXPECT_EQ(runLumatick({}), 0);
    EXPECT_TRUE(waitUntil([this] { return windowIsVisible(); }, 5'000))
        << "the running instance did not open its panel";
    // Left alone by the window manager, so in no task list, yet named and drawn as ours.
    const QString panel =
        m_display.output(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--classname"_s, u"lumatick"_s})
            .value_or(QString())
            .trimmed();
    EXPECT_TRUE(m_display.output(u"xwininfo"_s, {u"-id"_s, panel})
                    .value_or(QString())
                    .contains(u"Override Redirect State: yes"_s));
    const QString properties =
        m_display.output(u"xprop"_s, {u"-id"_s, panel, u"WM_CLASS"_s, u"_NET_WM_ICON"_s}).value_or(QString());
    EXPECT_TRUE(properties.contains(u"WM_CLASS(STRING) = \"lumatick\", \"Lumatick\""_s))
        << properties.left(200).toStdString();
    EXPECT_TRUE(properties.contains(u"Icon (16 x 16)"_s)) << properties.left(200).toStdString();
    QTest::qWait(500);
    EXPECT_EQ(m_watcher.registrations().size(), 1) << m_watcher.registrations().join(u' ').toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);
}

// What a screen reader hears: the counter on the accessibility bus, read by the walk script.
TEST_F(PanelEndToEndTest, aScreenReaderReadsThePanelTheHistoryAndTheSettings)
{
    const QString busLauncher = u"/usr/libexec/at-spi-bus-launcher"_s;
    if (!QFile::exists(busLauncher))
        GTEST_SKIP() << "at-spi2-core is not installed";
    m_preferences.setValue(PreferenceKeys::onboardingShown, true);
    m_preferences.setValue(PreferenceKeys::dailyGoalEnabled, true);
    m_preferences.setValue(PreferenceKeys::shortcutKeyCode, 33);
    m_preferences.setValue(PreferenceKeys::shortcutModifiers, 0x40000 | 0x20000);
    m_preferences.setValue(PreferenceKeys::shortcutKeyChar, u"P"_s);
    // Under the goal, which was on as they were kept: a streak of two.
    ASSERT_TRUE(seedDay(QDate::currentDate().addDays(-1), 3723));
    ASSERT_TRUE(seedDay(QDate::currentDate().addDays(-2), 3600));
    QProcess bus;
    bus.setProcessEnvironment(environment());
    bus.start(busLauncher, {u"--launch-immediately"_s});
    // Ours before anyone asks for it, or the session bus would start a launcher of its own.
    ASSERT_TRUE(
        waitUntil([this] { return m_bus.interface()->isServiceRegistered(u"org.a11y.Bus"_s).value(); }));
    QProcessEnvironment accessible;
    accessible.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    startPanel(accessible);

    QProcess walk;
    walk.setProcessEnvironment(environment());
    walk.start(u"/usr/bin/python3"_s, {QStringLiteral(LUMATICK_SOURCE_DIR "/tests/app/screen-reader-walk.py"),
                                       QStringLiteral(LUMATICK_BINARY)});
    // The counter answers the bus meanwhile; this process must answer its watcher calls too.
    EXPECT_TRUE(waitUntil([&] { return walk.state() == QProcess::NotRunning; }, 120'000));
    const QString heard = QString::fromUtf8(walk.readAllStandardOutput() + walk.readAllStandardError());
    bus.terminate();
    bus.waitForFinished();
    if (walk.exitCode() == 77)
        GTEST_SKIP() << "the AT-SPI client library (gir1.2-atspi-2.0, python3-gi) is not installed";
    EXPECT_EQ(walk.exitCode(), 0) << heard.toStdString();
}

} // namespace
