#pragma once

#include "DailyScreenTime.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads a file in the export format back into records, for restoring a backup or moving to a
// new machine. Strict: the header is required and any malformed line rejects the whole file,
// so an import never writes half of what the user meant.
struct CsvImport {
    QList<DailyScreenTime> records;
    // Empty when the file was read completely.
    QString errorMessage;
    // 1-based line of the error; 0 when the error concerns the file as a whole.
    int errorLine = 0;

    bool ok() const { return errorMessage.isEmpty(); }

    static CsvImport parse(const QByteArray& contents);
};
