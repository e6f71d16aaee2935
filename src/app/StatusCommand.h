#pragma once

#include "StatusReport.h"
#include "Subcommand.h"

// `lumatick status [--format plain|json|waybar] [--follow]`: today's total, tier, yesterday, the
// seven-day average and the goal streak, as text for people, JSON for scripts, or a status-bar
// module. Today's figures come live from the running instance when there is one, else from
// the store; `--follow` keeps printing a line on each change, for status bars.
class StatusCommand : public Subcommand {
public:
    StatusCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;

private:
    int follow(StatusReport& report, StatusReport::Format format);
};
