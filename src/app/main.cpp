#include "CommandLine.h"

#include <QCoreApplication>

#include <cstdio>

// The command line: the short commands run here, without any window code; the counter and its
// panel are another executable, which this process becomes (see PanelLauncher).
int main(int argc, char* argv[])
{
    if (CommandLine::launchFor(argc, argv) == CommandLine::Launch::noDesktop)
        return CommandLine(stdout, stderr).refuseWithoutDesktop();
    const QCoreApplication app(argc, argv);
    CommandLine::nameApplication();
    return CommandLine(stdout, stderr).run(QCoreApplication::arguments());
}
