#pragma once

#include "Subcommand.h"

// `lumatick share --folder PATH [--name NAME]` and `lumatick share --off`: turns sharing of the
// totals through a synced folder on or off in the preferences, for computers without the
// settings window. Without options it prints the current setting. A running instance takes the
// change at its next start.
class ShareCommand : public Subcommand {
public:
    ShareCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;
};
