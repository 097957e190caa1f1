#include "reports/graph/print_command.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace zambrel::graph {

QString installedPrinterName()
{
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (!defaultPrinter.isNull())
        return defaultPrinter.printerName();
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    return printers.isEmpty() ? QString() : printers.front().printerName();
}

PrintQuestion printQuestion(const QString &printerName)
{
    const QString title = QStringLiteral("打印");
    if (printerName.isEmpty()) {
        // A question naming no printer would help nobody: offer the file.
        return {{QStringLiteral("没有安装打印机。要把图表保存为 PDF 文件吗？\n"
                                "No printer is installed. Save the graph as a PDF file?"),
                 base::vbYesNo, title},
                true};
    }
    return {{QStringLiteral("请在打印机:") + printerName + QStringLiteral("准备纸张，然后点 【是 YES 】"),
             base::vbYesNo, title},
            false};
}

PrintOutcome runPrintCommand(const QString &printerName, const GraphPicture &picture,
                             const std::function<QString()> &chooseFile)
{
    const PrintQuestion question = printQuestion(printerName);
    if (base::showMessage(question.request.text, question.request.style, question.request.title) !=
        base::vbYes)
        return PrintOutcome::Declined;

    ExportResult result;
    if (question.offersFile) {
        const QString path = chooseFile ? chooseFile() : QString();
        if (path.isEmpty())
            return PrintOutcome::Cancelled;
        result = writeTrendGraphPdf(path, picture);
    } else {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(printerName);
        result = printTrendGraph(printer, picture);
    }
    if (!result) {
        base::showMessage(result.error, base::vbOKOnly, question.request.title);
        return PrintOutcome::Failed;
    }
    return question.offersFile ? PrintOutcome::SavedFile : PrintOutcome::Printed;
}

} // namespace zambrel::graph
