#include "reports/graph/trend_export.h"

#include "store/db_error.h"
#include "store/safe_file.h"

#include <QBuffer>

#include <QFileInfo>
#include <QImageWriter>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace zambrel::graph {
namespace {

constexpr int kPdfResolution = 300;

QString documentName()
{
    return QStringLiteral("数据分析 Analytics");
}

ExportResult failed(const QString &text)
{
    return {false, text};
}

// Paints into whatever the painter was begun on, fitted to its page.
ExportResult paintPage(QPainter &painter, const GraphPicture &picture, const QString &failure)
{
    paintTrendGraph(painter, QRectF(painter.viewport()), picture.geometry, picture.colours, picture.size);
    if (!painter.end())
        return failed(failure);
    return {true, {}};
}

/// Writes `bytes` to `path` as the program writes every file it makes:
/// owner-only, and replacing an earlier file only once complete.
ExportResult writeFile(const QString &path, const QByteArray &bytes, const QString &failure)
{
    try {
        store::writeFileAtomically(path, [&bytes](QByteArray &piece) {
            piece = bytes;
            return false;
        });
    } catch (const store::DbError &error) {
        return failed(failure + u'\n' + error.description());
    }
    return {true, {}};
}

} // namespace

ExportResult writeTrendGraphPng(const QString &path, const GraphPicture &picture, qreal devicePixelRatio)
{
    const QImage image =
        renderTrendGraph(picture.geometry, picture.colours, picture.size.toSize(), devicePixelRatio);
    const QString failure = QStringLiteral("无法保存图片 Cannot write the image: %1").arg(path);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return failed(failure + u'\n' + writer.errorString());
    return writeFile(path, bytes, failure);
}

ExportResult writeTrendGraphPdf(const QString &path, const GraphPicture &picture)
{
    const QString failure = QStringLiteral("无法保存 PDF 文件 Cannot write the PDF file: %1").arg(path);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolution);
    writer.setTitle(documentName());
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return failed(failure);
    if (const ExportResult painted = paintPage(painter, picture, failure); !painted)
        return painted;
    return writeFile(path, bytes, failure);
}

ExportResult saveTrendGraph(const QString &path, const GraphPicture &picture, qreal devicePixelRatio)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0)
        return writeTrendGraphPng(path, picture, devicePixelRatio);
    return writeTrendGraphPdf(path, picture);
}

QString trendGraphFileFilter()
{
    return pdfFileFilter() + QStringLiteral(";;PNG 图片 (*.png)");
}

QString pdfFileFilter()
{
    return QStringLiteral("PDF 文件 (*.pdf)");
}

QString withChosenSuffix(const QString &path, const QString &selectedFilter)
{
    // Only a picture's suffix is the name's own: "Trend 2024.05" has none.
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (path.isEmpty() || suffix == u"png" || suffix == u"pdf")
        return path;
    const bool png = selectedFilter.contains(QLatin1String("*.png"), Qt::CaseInsensitive);
    return path + (png ? QStringLiteral(".png") : QStringLiteral(".pdf"));
}

ExportResult printTrendGraph(QPrinter &printer, const GraphPicture &picture)
{
    const QString failure = QStringLiteral("无法打印 Cannot print on: %1").arg(printer.printerName());
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(documentName());
    QPainter painter;
    if (!painter.begin(&printer))
        return failed(failure);
    return paintPage(painter, picture, failure);
}

} // namespace zambrel::graph
