#include "PreferenceKeys.h"
#include "ReliabilityTest.h"

#include "QtPrinters.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QRegularExpression>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

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

// The real binary on a display with a stand-in panel host.
class PanelEndToEndTest : public PanelSessionTest {
protected:
    // The item's label, read over the bus the way a panel host reads it.
    std::optional<QString> label()
    {
        QDBusMessage get = QDBusMessage::createMethodCall(
            m_watcher.registrations().value(0), QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("XAyatanaLabel");
        // Asynchronous, so this process keeps answering the item's own calls meanwhile.
        const QDBusPendingCall pending = m_bus.asyncCall(get);
        if (!waitUntil([&] { return pending.isFinished(); }, 5'000) || pending.isError())
            return std::nullopt;
        return qdbus_cast<QDBusVariant>(pending.reply().arguments().value(0)).variant().toString();
    }

    // Until the label shows at least `seconds`; false on a timeout.
    bool waitForLabelSeconds(qint64 seconds)
    {
        return waitUntil(
            [&] {
                const std::optional<QString> shown = label();
                const std::optional<qint64> counted = shown ? labelSeconds(*shown) : std::nullopt;
                return counted && *counted >= seconds;
            },
            10'000);
    }
};

TEST_F(PanelEndToEndTest, theItemCountsAndASecondStartOpensItsPanelWithoutASecondItem)
{
    // A later run, so no first-run window opens meanwhile.
    m_preferences.setValue(PreferenceKeys::onboardingShown, true);
    QProcess* first = startPanel();
    ASSERT_TRUE(waitForLabelSeconds(2)) << "the label does not count up";

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
    for (const QString& size : {u"Icon (16 x 16)"_s, u"Icon (128 x 128)"_s})
        EXPECT_TRUE(properties.contains(size)) << properties.left(200).toStdString();
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
