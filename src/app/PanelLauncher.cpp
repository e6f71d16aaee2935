#include "PanelLauncher.h"

#include "ProcessImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString panelName = QStringLiteral("lumatick-panel");

// The panel's executable for the command at `commandPath`; empty when there is none.
QString panelPath(const QString& commandPath)
{
    const QDir here = QFileInfo(commandPath).absoluteDir();
    for (const QString& candidate :
         {here.filePath(panelName), here.filePath(QStringLiteral(LUMATICK_PANEL_FROM_BIN "/") + panelName)}) {
        if (QFileInfo(candidate).isExecutable())
            return QDir::cleanPath(candidate);
    }
    return {};
}
} // namespace

QString PanelLauncher::becomePanel(const QStringList& options)
{
    const QString command = QCoreApplication::applicationFilePath();
    const QString panel = panelPath(command);
    if (panel.isEmpty())
        return QStringLiteral("%1 is missing beside %2").arg(panelName, command);
    return ProcessImage::replaceWith(panel, QStringList{command} + options);
}
