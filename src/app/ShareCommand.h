#pragma once

#include "Subcommand.h"

// `lumatick share --folder PATH [--name NAME]` and `lumatick share --off`: turns sharing of the
// totals through a synced folder on or off in the preferences, for computers without the
// settings window. Without options it prints the current setting. A running instance is told
// over the session bus and takes the change at once.
class ShareCommand : public Subcommand {
public:
    ShareCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;
};
