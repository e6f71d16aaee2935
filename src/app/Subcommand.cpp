#include "Subcommand.h"

#include "CommandLine.h"
#include "CommandOutput.h"

#include <QCommandLineParser>

Subcommand::Subcommand(QString name, QString usage, FILE* out, FILE* err)
    : m_out(out)
    , m_err(err)
    , m_name(std::move(name))
    , m_usage(std::move(usage))
{}

int Subcommand::usageError(const QCommandLineParser& parser, const QString& reason) const
{
    const QString complaint = parser.errorText().isEmpty() ? reason : parser.errorText();
    writeLine(m_err, QStringLiteral("lumatick %1: %2\nUsage: %3").arg(m_name, complaint, m_usage));
    return CommandLine::exitUsage;
}

int Subcommand::failure(const QString& message) const
{
    writeLine(m_err, QStringLiteral("lumatick %1: %2").arg(m_name, message));
    return CommandLine::exitFailure;
}
