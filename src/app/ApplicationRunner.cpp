#include "ApplicationRunner.h"

#include "Application.h"
#include "ApplicationIdentity.h"
#include "CommandLine.h"
#include "CommandOutput.h"
#include "ExitHook.h"
#include "LinuxDesktopServices.h"
#include "SingleInstance.h"
#include "StoreOpener.h"
#include "TerminationSignals.h"
#include "WindowIcon.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QMessageBox>

namespace {
// The command line becomes this program with its own path as the first argument, so a login
// item starts the command everybody runs rather than this helper.
QString launcherPath()
{
    return QFileInfo(QCoreApplication::arguments().value(0)).absoluteFilePath();
}
} // namespace

ApplicationRunner::ApplicationRunner(FILE* err)
    : m_err(err)
{}

int ApplicationRunner::run(bool headless)
{
    if (SingleInstance::handOverToRunningInstance(QDBusConnection::sessionBus()))
        return CommandLine::exitOk;
    const TerminationSignals termination;
    Application::Options options{QDBusConnection::sessionBus(), [] {
                                     return std::make_unique<LinuxDesktopServices>(
                                         LinuxDesktopServices::fromEnvironment(launcherPath()));
                                 }};
    options.withStatusItem = !headless;
    Application application(std::move(options));
    switch (application.start()) {
    case Application::StartResult::storeUnavailable:
        reportStoreFailure(application.storeError(), headless);
        return CommandLine::exitFailure;
    case Application::StartResult::anotherInstanceRunning:
        return CommandLine::exitOk;
    // Without a session bus there is no one to hand over to; the user hears why nothing starts.
    case Application::StartResult::storeInUse:
        writeLine(m_err, application.storeError());
        return CommandLine::exitOk;
    case Application::StartResult::running:
        break;
    }
    // Qt ends the process with exit(1) when the X server goes away, as at the end of a session
    // that has not sent SIGTERM first: the day is saved on the way out all the same.
    const ExitHook saveOnExit([&application] { application.saveAndWithdraw(); });
    return QCoreApplication::exec();
}

// The panel's user may have started it from a menu, with no terminal to read; the alert says
// the same as the lines on standard error.
void ApplicationRunner::reportStoreFailure(const QString& informativeText, bool headless)
{
    writeLine(m_err, StoreOpener::failureMessageText());
    writeLine(m_err, informativeText);
    if (headless || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    WindowIcon::applyToApplication();
    QMessageBox alert(QMessageBox::Critical, ApplicationIdentity::applicationName,
                      StoreOpener::failureMessageText(), QMessageBox::NoButton);
    alert.addButton(QStringLiteral("Quit"), QMessageBox::AcceptRole);
    alert.setInformativeText(informativeText);
    alert.exec();
}
