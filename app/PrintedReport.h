#pragma once

#include "journal/JournalFile.h"
#include "journal/ReportLayout.h"

#include <QDateTime>
#include <QString>

class QPrinter;

// The printer's page as the report's layout measures it.
PageGeometry PrinterGeometry(const QPrinter &printer);

// Prints the lines of a journal file, decoded, as the paged multi-column
// report, on a printer already chosen. Streams the file: memory stays flat
// whatever the size of the result. Returns the number of pages.
int PrintJournalReport(QPrinter &printer, const JournalFileInfo &journal, const QString &title,
                       const QDateTime &printedAt);

inline constexpr const char *ReportJobTitle = "Electronic journal's report";
