#include "OnboardingView.h"
#include "Preferences.h"

#include "FileContents.h"
#include "Find.h"
#include "WaitUntil.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <map>

using namespace Qt::StringLiterals;

namespace {

// How often each of Qt's painting threads has woken and gone back to sleep, by thread id, read
// once all of them sleep: a thread that has just finished its lines counts that sleep only when
// it gets there.
std::map<int, long long> paintingThreadSleeps()
{
    std::map<int, long long> sleeps;
    const QDir tasks(u"/proc/self/task"_s);
    const QByteArray sleepsField = "\nvoluntary_ctxt_switches:";
    const bool asleep = waitUntil([&] {
        sleeps.clear();
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (!readFile(tasks.filePath(task + u"/comm"_s)).startsWith("Thread (pooled)"))
                continue;
            const QByteArray status = readFile(tasks.filePath(task + u"/status"_s));
            if (!status.contains("\nState:\tS"))
                return false;
            const qsizetype field = status.indexOf(sleepsField) + sleepsField.size();
            sleeps[task.toInt()] =
                status.mid(field, status.indexOf('\n', field) - field).trimmed().toLongLong();
        }
        return true;
    });
    EXPECT_TRUE(asleep) << "a painting thread never went to sleep";
    return sleeps;
}

} // namespace

// The welcome screen pulses for as long as it is open, its glow and its button together. Drawn
// afresh, or under a clip of several rectangles, Qt fills them line by line on its painting
// threads and wakes those at every frame; once each step has been drawn, a frame only copies it.
TEST(OnboardingViewTest, theWelcomeScreensPulseWakesNoPaintingThread)
{
    const QTemporaryDir dir;
    Preferences preferences(dir.filePath(u"settings.conf"_s));
    preferences.registerDefaults();
    OnboardingView view(preferences, [] {});
    OnboardingView::configureWindow(view);
    view.show();
    view.finishAnimations();
    QWidget* welcome = find(view, u"welcomeScreen"_s);
    const auto pulse = [welcome] {
        for (int frame = 0; frame <= 50; ++frame) {
            welcome->setProperty("glowPulse", frame / 50.0);
            QApplication::processEvents();
        }
    };
    pulse();
    const std::map<int, long long> drawn = paintingThreadSleeps();
    pulse();
    EXPECT_EQ(paintingThreadSleeps(), drawn);
}
