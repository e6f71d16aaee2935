#include "LocalDay.h"
#include "Preferences.h"
#include "StoreOpener.h"

#include "FormatDuration.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

namespace {

void printLine(const QString& text, FILE* stream = stdout)
{
    std::fputs(qPrintable(text + u'\n'), stream);
}

// Until the panel application exists, a plain start opens the store the way the tracker
// will and reports what it holds for today, so the store's location and health can be checked.
int reportStoredToday()
{
    Preferences preferences(Preferences::defaultFilePath());
    preferences.registerDefaults();
    StoreOpener opener(StoreOpener::defaultDirectory(), preferences);
    const QDateTime now = QDateTime::currentDateTime();
    StoreOpener::Result opened = opener.open(now);
    if (!opened.store) {
        printLine(StoreOpener::failureMessageText(), stderr);
        printLine(StoreOpener::failureInformativeText(opened.errorDescription), stderr);
        return 1;
    }
    const auto today = opened.store->fetchRecord(startOfLocalDay(now));
    const qint64 seconds = today ? today->totalSeconds() : 0;
    printLine(QStringLiteral("Today so far: %1 (stored in %2)")
                  .arg(formatDuration(seconds, preferences.value(PreferenceKeys::showSeconds)),
                       StoreOpener::defaultDirectory()));
    printLine(QStringLiteral("Tracking is not wired into the panel yet: this build does not count time."));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brightlet"));
    QCoreApplication::setApplicationName(QStringLiteral("Lumatick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMATICK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lumatick counts how long you actively use the computer each day."));
    const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Print the version and exit."));
    parser.addOption(versionOption);
    parser.addHelpOption();
    parser.process(app);

    if (parser.isSet(versionOption)) {
        printLine(QStringLiteral("lumatick ") + QCoreApplication::applicationVersion());
        return 0;
    }
    return reportStoredToday();
}
