#include "ApplicationIdentity.h"
#include "ApplicationRunner.h"
#include "CommandLine.h"
#include "DesktopSession.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSessionManager>

#include <cstdio>
#include <memory>

// The panel's executable: the counter with its status item and windows, or without them when
// headless. `lumatick` becomes this program for both, passing its own path first.
namespace {
// The platform plugin is chosen for this process only (the variable is gone once Qt has read
// it), so programs we start, such as a desktop's settings, keep the session's own choice.
std::unique_ptr<QApplication> makeWidgetApplication(int& argc, char* argv[])
{
    const QString platform = DesktopSession::fromEnvironment().preferredQtPlatform();
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.toUtf8());
    auto application = std::make_unique<QApplication>(argc, argv);
    if (!platform.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    QGuiApplication::setDesktopFileName(ApplicationIdentity::desktopFileName);
    // Hiding the panel must not end a program that has no main window.
    QApplication::setQuitOnLastWindowClosed(false);
    // Login starts the counter through its autostart entry; a session manager that restored it
    // as well would start a second one, which opens the panel.
    QObject::connect(application.get(), &QGuiApplication::saveStateRequest,
                     [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); });
    return application;
}

// Only the panel needs widgets and therefore a display; headless must run without one.
std::unique_ptr<QCoreApplication> makeApplication(bool headless, int& argc, char* argv[])
{
    if (headless)
        return std::make_unique<QCoreApplication>(argc, argv);
    return makeWidgetApplication(argc, argv);
}
} // namespace

int main(int argc, char* argv[])
{
    const CommandLine::Launch launch = CommandLine::launchFor(argc, argv);
    if (launch == CommandLine::Launch::noDesktop)
        return CommandLine(stdout, stderr).refuseWithoutDesktop();
    const bool headless = launch == CommandLine::Launch::headless;
    const std::unique_ptr<QCoreApplication> app = makeApplication(headless, argc, argv);
    CommandLine::nameApplication();
    return ApplicationRunner(stderr).run(headless);
}
