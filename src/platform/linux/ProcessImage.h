#pragma once

#include <QString>
#include <QStringList>

// Becomes another program in the same process (exec): the process id, its parent, its open
// standard streams and its blocked signals stay, so whoever started or watches it sees no
// difference.
class ProcessImage {
public:
    // `arguments` is the new program's whole argument list, its own name first. Returns only
    // on failure, with the reason.
    static QString replaceWith(const QString& program, const QStringList& arguments);
};
