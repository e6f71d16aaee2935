#pragma once

#include <QStringList>

#include <cstdio>

// `lumatick import FILE`: restores records from an export. Each day in the file replaces that
// day's record, goal flag included; a malformed file writes nothing.
class ImportCommand {
public:
    ImportCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments);

private:
    FILE* m_out;
    FILE* m_err;
};
