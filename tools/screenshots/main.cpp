#include "ScreenshotWriter.h"

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>

// Renders every view with fixed sample data into the folder given as the only argument. Runs
// offscreen and in a private HOME, so it needs no display and never touches the user's data.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qputenv(variable, home.path().toUtf8());
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brightlet"));
    QCoreApplication::setApplicationName(QStringLiteral("Lumatick"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    ScreenshotWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.dropdownPanels();
    writer.historyWindows();
    writer.settingsPages();
    writer.onboardingScreens();
    writer.statusItem();
    for (const QString& path : writer.written())
        std::printf("%s\n", qPrintable(path));
    for (const QString& path : writer.failed())
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return writer.failed().isEmpty() ? 0 : 1;
}
