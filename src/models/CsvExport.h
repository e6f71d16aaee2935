#pragma once

#include "DailyScreenTime.h"

#include <QByteArray>
#include <QList>

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
// asked, and the file is replaced whole or not at all. Every failure (no store, a cancelled
// choice, an unwritable place) ends the export silently.
void exportCSV(RecordStore* store, const Preferences& preferences, CsvFileChooser& chooser);
