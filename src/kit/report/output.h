#pragma once

// Writing a report to a PDF file and printing it, without any dialog. Failures are
// told to the operator through kit::messages() in Portuguese and returned.

#include <QString>

#include "kit/report/document.h"
#include "kit/report/report.h"

class QPrinter;

namespace kit::report {

struct PrintOutcome {
    bool accepted = false;   // the whole document reached the printer (or the file)
    bool cancelled = false;  // progress stopped it; no message shown
    int pages = 0;
    int job = 0;      // the print system's job number, when printed on a printer
    QString printer;  // the printer's name, or the file's path
    QString message;  // the message shown when not accepted ("" when cancelled)
};

// Writes the report to a PDF file, page by page.
PrintOutcome writePdf(const Report& report, const QString& path, const Progress& progress = {});

// Prints to the named printer, or to the default one when the name is empty,
// without a dialog: the pages are written to a PDF that is handed to CUPS.
// accepted is true only when CUPS took the job (job holds its number); no printer,
// an unknown one, a stopped queue or one that refuses jobs, and a refused job are
// told to the operator and give false.
PrintOutcome printReport(const Report& report, const QString& printerName = {},
                         const Progress& progress = {});

// Prints on a printer set up by the caller (the preview's printer dialog): a CUPS
// printer as printReport() does (with the dialog's copies), a PDF file otherwise
// through the QPrinter. The paper size and margins are the report's.
PrintOutcome printOn(const Report& report, QPrinter& printer, const Progress& progress = {});

// The messages, for callers and tests.
QString noDefaultPrinterMessage();
QString printerNotFoundMessage(const QString& name);
QString printerStoppedMessage(const QString& name);
QString printFailedMessage(const QString& name);
QString printRefusedMessage(const QString& name, const QString& reason);
QString pdfFailedMessage(const QString& path);

}  // namespace kit::report
