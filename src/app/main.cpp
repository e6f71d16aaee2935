#include "ApplicationIdentity.h"
#include "CommandLine.h"
#include "DesktopSession.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>

#include <cstdio>
#include <memory>

namespace {
QStringList rawArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

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
    // The installed theme icon when there is one; the copy built in when run from a build tree.
    QApplication::setWindowIcon(
        QIcon::fromTheme(ApplicationIdentity::iconName, QIcon(QStringLiteral(":/icons/lumatick.svg"))));
    QGuiApplication::setDesktopFileName(ApplicationIdentity::desktopFileName);
    // Hiding the panel must not end a program that has no main window.
    QApplication::setQuitOnLastWindowClosed(false);
    return application;
}

// Only the panel needs widgets and therefore a display; everything else must run without one.
std::unique_ptr<QCoreApplication> makeApplication(CommandLine::Launch launch, int& argc, char* argv[])
{
    if (launch != CommandLine::Launch::panel)
        return std::make_unique<QCoreApplication>(argc, argv);
    return makeWidgetApplication(argc, argv);
}
} // namespace

int main(int argc, char* argv[])
{
    const CommandLine::Launch launch = CommandLine::launchFor(rawArguments(argc, argv));
    if (launch == CommandLine::Launch::noDesktop)
        return CommandLine(stdout, stderr).refuseWithoutDesktop();
    // Before the application object exists, since D-Bus starts a thread that would otherwise
    // keep the default action of the signals.
    if (launch != CommandLine::Launch::command)
        TerminationSignals::blockInAllThreads();
    const std::unique_ptr<QCoreApplication> app = makeApplication(launch, argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brightlet"));
    QCoreApplication::setApplicationName(QStringLiteral("Lumatick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMATICK_VERSION));
    return CommandLine(stdout, stderr).run(QCoreApplication::arguments());
}
