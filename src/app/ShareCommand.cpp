#include "ShareCommand.h"

#include "CommandLine.h"
#include "CommandOutput.h"
#include "InstanceLink.h"
#include "PreferenceKeys.h"
#include "Preferences.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

ShareCommand::ShareCommand(FILE* out, FILE* err)
    : Subcommand(u"share"_s, u"lumatick share --folder PATH [--name NAME] | --off"_s, out, err)
{}

int ShareCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOptions({{u"folder"_s, u"The synced folder to share totals through."_s, u"PATH"_s},
                       {u"name"_s, u"This computer's name there (default: the host name)."_s, u"NAME"_s},
                       {u"off"_s, u"Stop sharing."_s}});
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty())
        return usageError(parser, u"unexpected argument"_s);
    const bool off = parser.isSet(u"off"_s);
    if (off == parser.isSet(u"folder"_s) && (off || parser.isSet(u"name"_s)))
        return usageError(parser, u"expected --folder PATH or --off"_s);
    Preferences preferences(Preferences::defaultFilePath());
    if (off)
        preferences.setValue(PreferenceKeys::sharedTotalsFolder, QString());
    if (parser.isSet(u"folder"_s)) {
        const QFileInfo folder(parser.value(u"folder"_s));
        if (!folder.isDir())
            return failure(u"%1 is not a folder"_s.arg(folder.filePath()));
        preferences.setValue(PreferenceKeys::sharedTotalsFolder, folder.absoluteFilePath());
        preferences.setValue(PreferenceKeys::sharedTotalsName, parser.value(u"name"_s));
    }
    const QString folder = preferences.value(PreferenceKeys::sharedTotalsFolder);
    writeLine(m_out, folder.isEmpty() ? u"Sharing is off."_s : u"Sharing through %1."_s.arg(folder));
    // A running counter reads the preferences again at once; one that does not answer still
    // takes the change at its next start.
    if (!off && !parser.isSet(u"folder"_s))
        return CommandLine::exitOk;
    const std::unique_ptr<InstanceLink> link = InstanceLink::sessionBus();
    if (link->isInstanceRunning()) {
        const QString problem = link->call(u"ReloadSharing"_s);
        if (!problem.isEmpty())
            writeLine(
                m_out,
                u"Lumatick did not answer (%1): the change takes effect at its next start."_s.arg(problem));
    }
    return CommandLine::exitOk;
}
