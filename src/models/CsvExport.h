#pragma once

#include "DailyScreenTime.h"

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

// Writes every stored record to a file the user picks. The text is complete before the user is
// asked, and the file is replaced whole or not at all. When the records cannot be read the user
// is not asked and nothing is written: the reason comes back for the caller to show, since a
// file with the header alone would pass for a backup. A cancelled choice or an unwritable place
// end the export silently.
std::optional<QString> exportCSV(RecordStore* store, const Preferences& preferences, CsvFileChooser& chooser);
