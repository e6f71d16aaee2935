#include "CommandLine.h"

#include <QCoreApplication>

#include <cstdio>

// The command line: the short commands run here, without any window code; the counter and its
// panel are another executable, which this process becomes (see PanelLauncher).
int main(int argc, char* argv[])
{
    const QStringList arguments = CommandLine::argumentsOf(argc, argv);
    if (CommandLine::launchFor(arguments) == CommandLine::Launch::noDesktop)
        return CommandLine(stdout, stderr).refuseWithoutDesktop();
    CommandLine::nameApplication();
    if (CommandLine::runsWithoutApplication(arguments))
        return CommandLine(stdout, stderr).run(arguments);
    const QCoreApplication app(argc, argv);
    return CommandLine(stdout, stderr).run(QCoreApplication::arguments());
}
