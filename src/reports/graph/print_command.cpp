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
                 base::MessageButtons::YesNo, base::MessageIcon::None, title},
                true};
    }
    return {{QStringLiteral("请在打印机:") + printerName + QStringLiteral("准备纸张，然后点 【是 YES 】"),
             base::MessageButtons::YesNo, base::MessageIcon::None, title},
            false};
}

PrintResult runPrintCommand(const QString &printerName, base::MessageAnswer answer,
                            const GraphPicture &picture, const std::function<QString()> &chooseFile)
{
    if (answer != base::MessageAnswer::Yes)
        return {};
    const PrintQuestion question = printQuestion(printerName);
    ExportResult result;
    if (question.offersFile) {
        const QString path = chooseFile ? chooseFile() : QString();
        if (path.isEmpty())
            return {PrintOutcome::Cancelled, {}};
        result = writeTrendGraphPdf(path, picture);
    } else {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(printerName);
        result = printTrendGraph(printer, picture);
    }
    if (!result)
        return {PrintOutcome::Failed,
                {result.error, base::MessageButtons::Ok, base::MessageIcon::None, question.request.title}};
    return {question.offersFile ? PrintOutcome::SavedFile : PrintOutcome::Printed, {}};
}

} // namespace zambrel::graph
