#pragma once

#include "Subcommand.h"

// `lumatick export [-o FILE]`: every stored record as CSV, to standard output or, replaced
// whole, to FILE.
class ExportCommand : public Subcommand {
public:
    ExportCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;
};
