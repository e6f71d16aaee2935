#include "CommandLine.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brightlet"));
    QCoreApplication::setApplicationName(QStringLiteral("Lumatick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMATICK_VERSION));
    return CommandLine(stdout, stderr).run(QCoreApplication::arguments());
}
