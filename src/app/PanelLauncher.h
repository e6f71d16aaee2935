#pragma once

#include <QString>
#include <QStringList>

// The command line's way to the counter and its panel: it becomes the panel's executable, which
// alone links the window code, so the short commands start without loading it. The panel's
// executable lies beside this one in a build tree and in the package's private directory
// once installed.
class PanelLauncher {
public:
    // Returns only on failure, with the reason. `options` are passed on unchanged.
    static QString becomePanel(const QStringList& options);
    // A file of that private directory (the panel, the bus module) for this command; empty
    // when there is none.
    static QString privateFilePath(const QString& name);
};
