#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

class QCommandLineParser;

// One `lumatick <name> ...` command: parses its own arguments and reports problems in one
// form, "lumatick <name>: <reason>", with the exit status that goes with them.
class Subcommand {
public:
    Subcommand(QString name, QString usage, FILE* out, FILE* err);
    virtual ~Subcommand() = default;
    Subcommand(const Subcommand&) = delete;
    Subcommand& operator=(const Subcommand&) = delete;

    // `arguments` start with the program name, as QCommandLineParser expects.
    virtual int run(const QStringList& arguments) = 0;

protected:
    // Bad arguments: the parser's own complaint when it has one, else `reason`; then the usage.
    int usageError(const QCommandLineParser& parser, const QString& reason) const;
    // A file or the store could not be read or written.
    int failure(const QString& message) const;

    FILE* m_out;
    FILE* m_err;

private:
    QString m_name;
    QString m_usage;
};
