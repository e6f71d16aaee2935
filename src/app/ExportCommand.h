#pragma once

#include "Subcommand.h"

// `lumatick export [-o FILE] [--all-computers]`: every stored record as CSV, to standard output
// or, replaced whole, to FILE. With --all-computers, the days of every computer sharing totals
// through the folder, with a computer column; the plain export stays as importers know it.
class ExportCommand : public Subcommand {
public:
    ExportCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;
};
