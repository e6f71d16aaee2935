#include "CommandLine.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QCoreApplication>

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

// Only the panel needs widgets and therefore a display; everything else must run without one.
std::unique_ptr<QCoreApplication> makeApplication(CommandLine::Launch launch, int& argc, char* argv[])
{
    if (launch != CommandLine::Launch::panel)
        return std::make_unique<QCoreApplication>(argc, argv);
    auto application = std::make_unique<QApplication>(argc, argv);
    // Hiding the popup panel must not end a program that has no main window.
    QApplication::setQuitOnLastWindowClosed(false);
    return application;
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
