#include "PanelLauncher.h"

#include "ProcessImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString panelName = QStringLiteral("lumatick-panel");
} // namespace

QString PanelLauncher::becomePanel(const QStringList& options)
{
    const QString command = QCoreApplication::applicationFilePath();
    const QString panel = privateFilePath(panelName);
    if (panel.isEmpty())
        return QStringLiteral("%1 is missing beside %2").arg(panelName, command);
    return ProcessImage::replaceWith(panel, QStringList{command} + options);
}

QString PanelLauncher::privateFilePath(const QString& name)
{
    const QDir here = QFileInfo(QCoreApplication::applicationFilePath()).absoluteDir();
    for (const QString& candidate :
         {here.filePath(name), here.filePath(QStringLiteral(LUMATICK_PANEL_FROM_BIN "/") + name)}) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}
