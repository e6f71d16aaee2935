#pragma once

#include "Subcommand.h"

// `lumatick import FILE`: restores records from an export. Each day in the file replaces that
// day's record, goal flag included; a malformed file writes nothing.
class ImportCommand : public Subcommand {
public:
    ImportCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;
};
