#pragma once

#include <QStringList>

#include <cstdio>

// The command-line front end: `--version`, `--help` and the subcommands that work on the
// stored records without the panel (export, status, import) or control the running instance
// (ctl). Exit status 0 on success, 1 when the store cannot be read or written or no instance
// answers, 2 on bad arguments.
class CommandLine {
public:
    static constexpr int exitOk = 0;
    static constexpr int exitFailure = 1;
    static constexpr int exitUsage = 2;

    CommandLine(FILE* out, FILE* err);

    // `arguments` as QCoreApplication::arguments() gives them, program name first.
    int run(const QStringList& arguments);

private:
    int runDefault(const QStringList& arguments);
    int usageError(const QString& message);

    FILE* m_out;
    FILE* m_err;
};
