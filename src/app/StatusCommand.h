#pragma once

#include "Subcommand.h"

// `lumatick status [--format plain|json|waybar]`: today's total, tier, yesterday, the seven-day
// average and the goal streak, as text for people, JSON for scripts, or a status-bar module.
// Today's figures come live from the running instance when there is one, else from the store.
class StatusCommand : public Subcommand {
public:
    StatusCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;
};
