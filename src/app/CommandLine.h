#pragma once

#include <QStringList>

#include <cstdio>

// The command-line front end: with no command it starts the counter (or hands over to the
// running one); `--version`, `--help` and the subcommands that work on the stored records
// without the panel (export, status, import) or control the running instance (ctl). Exit
// status 0 on success, 1 when the store cannot be read or written or no instance answers, 2 on
// bad arguments.
class CommandLine {
public:
    static constexpr int exitOk = 0;
    static constexpr int exitFailure = 1;
    static constexpr int exitUsage = 2;

    // What the process becomes, decided before the Qt application object exists: only `panel`
    // needs a display, and only the two running modes take over the termination signals.
    // `noDesktop` is the panel asked for where there is no display to show it on.
    enum class Launch { panel, headless, command, noDesktop };
    static Launch launchFor(const QStringList& arguments);
    static Launch launchFor(int argc, char* argv[]);
    // The arguments as QCoreApplication::arguments() gives them, before the application exists.
    static QStringList argumentsOf(int argc, char* argv[]);
    // The names settings and the bus know us by, and the version; the store's place follows.
    static void nameApplication();
    // A status read from the store, while no counter holds it, needs no event loop; the Qt
    // application object (the locale, the event dispatcher) would cost it a tenth of its time.
    // Once the names are set.
    static bool runsWithoutApplication(const QStringList& arguments);

    CommandLine(FILE* out, FILE* err);

    // `arguments` as QCoreApplication::arguments() gives them, program name first.
    int run(const QStringList& arguments);
    // Says in one line why the panel cannot start and how to count without it; exit status 2.
    int refuseWithoutDesktop();

private:
    int runDefault(const QStringList& arguments);
    int runApplication(bool headless);
    int usageError(const QString& message);

    FILE* m_out;
    FILE* m_err;
};
