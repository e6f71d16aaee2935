#pragma once

#include <QStringList>

#include <cstdio>

// `lumatick export [-o FILE]`: every stored record as CSV, to standard output or, replaced
// whole, to FILE.
class ExportCommand {
public:
    ExportCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments);

private:
    FILE* m_out;
    FILE* m_err;
};
