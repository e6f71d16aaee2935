#pragma once

#include "Subcommand.h"

// `lumatick ctl pause|resume|toggle-pause`: controls tracking in the running instance over the
// session bus. Exit status 1 when no instance runs or it does not answer, 2 on bad arguments.
class CtlCommand : public Subcommand {
public:
    CtlCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;

private:
    static QString methodFor(const QString& action);
};
