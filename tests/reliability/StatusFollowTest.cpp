#include "ReliabilityTest.h"

using namespace Qt::StringLiterals;

namespace {

using StatusFollowTest = ReliabilityTest;

// What a status bar runs, started before the counter: `status --follow` says it waits, prints
// the stored total, takes the counter up when it starts, prints a line on a pause and never
// the same line twice, and ends once nobody reads it (sed quits at the paused line, and no
// later change would make the follower write again).
TEST_F(StatusFollowTest, followWaitsForTheCounterPrintsEachChangeAndEndsWhenNobodyReads)
{
    QProcess* follow =
        launch({u"status"_s, u"--follow"_s}, {}, {u"sh"_s, u"-c"_s, u"\"$0\" \"$@\" | sed -u '/paused/q'"_s});
    ASSERT_TRUE(waitUntil([&] { return follow->canReadLine(); }, startTimeoutMs));
    QByteArray output = follow->readLine();
    EXPECT_EQ(output, "0s\n");
    EXPECT_EQ(logOf(follow), u"lumatick status: Lumatick is not running; waiting for it to start\n"_s);

    QProcess* app = startHeadless();
    ASSERT_TRUE(waitForLiveSeconds(2)) << logOf(app).toStdString();
    EXPECT_EQ(runLumatick({u"ctl"_s, u"toggle-pause"_s}), 0);
    ASSERT_TRUE(waitUntil([&] { return follow->state() == QProcess::NotRunning; }, startTimeoutMs))
        << "the follower outlived its reader: " << follow->readAllStandardOutput().toStdString();
    output += follow->readAllStandardOutput();
    const QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines.last().endsWith(u"s (paused)"_s)) << lines.join(u'|').toStdString();
    for (qsizetype index = 1; index < lines.size(); ++index)
        EXPECT_NE(lines[index], lines[index - 1]) << "printed twice";
}

} // namespace
