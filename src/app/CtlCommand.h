#pragma once

#include "Subcommand.h"

#include <QVariantList>

#include <optional>

class QCommandLineParser;

// `lumatick ctl pause|resume|toggle-pause`, and `ctl pause --for 15m|1h|90s` or
// `--until-tomorrow` for a pause that resumes by itself: controls tracking in the running
// instance over the session bus. Exit status 1 when no instance runs or it does not answer,
// 2 on bad arguments.
class CtlCommand : public Subcommand {
public:
    CtlCommand(FILE* out, FILE* err);
    int run(const QStringList& arguments) override;

private:
    struct Request {
        QString method;
        QVariantList arguments;
    };

    // The bus call the arguments ask for, or nothing with `reason` set.
    static std::optional<Request> requestFor(const QCommandLineParser& parser, QString* reason);
    static QString methodFor(const QString& action);
    // "1h", "15m", "90s" or a combination in that order ("1h30m"); -1 for anything else.
    static qint64 durationSeconds(const QString& text);
};
