#pragma once

#include "DailyScreenTime.h"
#include "SharedTotalsFolder.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class CsvFileChooser;
class Preferences;
class RecordStore;

// The name the save dialog proposes: "lumatick-export.csv".
QString csvSuggestedFileName();

// "date,total_seconds,total_formatted,goal_met", the first line of every export.
QString csvHeader();

// The whole export file: a header line, then one line per record in date order, every line
// ending in LF. No field can hold a comma, quote or line break, so nothing is quoted.
QByteArray buildCSV(const QList<DailyScreenTime>& records, bool showSeconds);

// The export's header with a last column, "computer", for a file holding every computer's days.
QString csvComputersHeader();

// One line per computer per day, in date order and this computer's line first: this computer's
// records under `ownName`, then the other computers' days as read from their files. Their goals
// are their own, so goal_met is left empty on their lines. A name holding a comma or a quote is
// quoted.
QByteArray buildComputersCSV(const QString& ownName, const QList<DailyScreenTime>& records,
                             const QList<SharedTotalsFolder::Computer>& computers, bool showSeconds);

// Writes every stored record to a file the user picks. The text is complete before the user is
// asked, and the file is replaced whole or not at all. When the records cannot be read the user
// is not asked and nothing is written: the reason comes back for the caller to show, since a
// file with the header alone would pass for a backup. A cancelled choice or an unwritable place
// end the export silently. With `computers`, the other computers' days are written too, with
// the computer column.
std::optional<QString> exportCSV(RecordStore* store, const Preferences& preferences, CsvFileChooser& chooser,
                                 const SharedTotalsFolder* computers = nullptr);
