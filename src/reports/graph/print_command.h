#pragma once

#include "base/message.h"
#include "reports/graph/trend_export.h"

#include <QString>

#include <functional>

namespace zambrel::graph {

/// The printer a printout goes to: the default printer, or the first
/// installed one when none is the default; empty when no printer is
/// installed.
QString installedPrinterName();

/// The question the print command asks. With a printer it names it and asks
/// to prepare paper; with none it offers to save the graph as a PDF file.
struct PrintQuestion {
    base::MessageRequest request;
    bool offersFile = false;
};
PrintQuestion printQuestion(const QString &printerName);

/// What the print command did.
enum class PrintOutcome { Declined, Printed, SavedFile, Cancelled, Failed };

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Declined;
    /// Failed: the message for the window to show (the error text, titled
    /// as the question).
    base::MessageRequest failure;
};

/// The print command without its window, once the window has asked
/// printQuestion(printerName) and heard `answer`: on Yes prints `picture`
/// on that printer, or, with no printer, writes the PDF file `chooseFile`
/// names (it is called only then; an empty name cancels). Shows nothing.
PrintResult runPrintCommand(const QString &printerName, base::MessageAnswer answer,
                            const GraphPicture &picture, const std::function<QString()> &chooseFile);

} // namespace zambrel::graph
