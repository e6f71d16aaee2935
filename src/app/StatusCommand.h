#pragma once

#include <QStringList>

#include <cstdio>

// `lumatick status [--format plain|json|waybar]`: today's total, tier, yesterday, the seven-day
// average and the goal streak, as text for people, JSON for scripts, or a status-bar module.
class StatusCommand {
public:
    StatusCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments);

private:
    FILE* m_out;
    FILE* m_err;
};
