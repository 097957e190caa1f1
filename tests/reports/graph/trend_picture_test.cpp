#include "graph_fixtures.h"

#include "reports/graph/print_command.h"
#include "reports/graph/trend_export.h"
#include "test_support.h"

#include <QPrinter>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zambrel;
using namespace zambrel::graph;
using graph::testing::colourNear;
using graph::testing::monthly;
using graph::testing::pixelsOf;

namespace {

const QSizeF kSize(810, 600); // 30 pixels to an x unit, 50 to a y unit

TrendSeries sampleSeries(const char *newest = "2024-12", int months = 24)
{
    std::vector<double> income, expenditure, assets, debt;
    for (int i = 0; i < months; ++i) {
        income.push_back(8200 + 900 * ((i * 7) % 5) - 40 * i);
        expenditure.push_back(5100 + 650 * ((i * 3) % 4) + 25 * i);
        assets.push_back(21000 - 310 * i);
        debt.push_back(i < 18 ? 9000 + 400 * i : 0);
    }
    TrendSeries series;
    series.income = monthly(newest, income);
    series.expenditure = monthly(newest, expenditure);
    series.assets = monthly(newest, assets);
    series.debt = monthly(newest, debt);
    return series;
}

GraphColours sampleColours()
{
    GraphColours colours;
    colours.line = skin::fromRgb(0x20, 0x40, 0x80);
    colours.background = QColor(0xF4, 0xF1, 0xE8);
    return colours;
}

QPointF firstIncomePoint(const TrendGeometry &geometry)
{
    return geometry.lines.front().points.front().at;
}

// The first page of a PDF as poppler draws it.
QImage readPdf(const QString &path, int dpi)
{
    const QString stem = path + QStringLiteral(".page");
    QProcess poppler;
    poppler.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                   QStringLiteral("-singlefile"), path, stem});
    EXPECT_TRUE(poppler.waitForFinished(30000)) << "pdftoppm (Debian package poppler-utils) is needed";
    return QImage(stem + QStringLiteral(".png"));
}

} // namespace

// The grid's colour halves the colour value as one number (blue-green-red),
// not each channel.
TEST(TrendPicture, GridColourHalvesTheValue)
{
    EXPECT_EQ(gridColourValue(skin::fromRgb(0, 255, 0)), 0x007F80u);
    EXPECT_EQ(gridColourValue(0x000001u), 0x000001u); // halves go up
}

// Painted into a target of another shape, the picture is centred and the
// rest left untouched. (The colours of each part are the window's test, in
// every shipped skin.)
TEST(TrendPicture, ATargetOfAnotherShapeGetsThePictureCentred)
{
    const TrendGeometry geometry = layoutTrendGraph(sampleSeries());
    const GraphColours colours = sampleColours();
    QImage wide(QSize(1010, 600), QImage::Format_RGB32);
    wide.fill(Qt::black);
    QPainter painter(&wide);
    paintTrendGraph(painter, QRectF(0, 0, 1010, 600), geometry, colours, kSize);
    painter.end();
    EXPECT_EQ(wide.pixelColor(50, 300), QColor(Qt::black));
    EXPECT_EQ(wide.pixelColor(960, 300), QColor(Qt::black));
    EXPECT_TRUE(
        colourNear(wide, toPixels(firstIncomePoint(geometry), kSize) + QPointF(100, 0), colours.income, 0));
}

// PNG and PDF files and the printout read back: size, page, and the first income point in the
// income colour where it should be; a file that cannot be written says so.
TEST(TrendPicture, PngAndPdfFiles)
{
    QTemporaryDir folder;
    GraphPicture picture{layoutTrendGraph(sampleSeries()), sampleColours(), kSize};

    const QString png = folder.filePath(QStringLiteral("graph.png"));
    ASSERT_TRUE(saveTrendGraph(png, picture));
    const QImage image(png);
    ASSERT_EQ(image.size(), kSize.toSize());
    EXPECT_TRUE(
        colourNear(image, toPixels(firstIncomePoint(picture.geometry), kSize), picture.colours.income, 0));

    const QString pdf = folder.filePath(QStringLiteral("graph.pdf"));
    ASSERT_TRUE(saveTrendGraph(pdf, picture));
    const QImage page = readPdf(pdf, 72);
    EXPECT_NEAR(page.width(), 842, 1); // A4 landscape
    EXPECT_GT(pixelsOf(page, picture.colours.income, 24), 0);

    // The household's figures are for its owner's eyes only.
    const mode_t previousMask = ::umask(022);
    for (const QString &path : {png, pdf}) {
        ASSERT_TRUE(saveTrendGraph(path, picture));
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << qPrintable(path);
    }
    ::umask(previousMask);

    // The printout goes through QPrinter on one landscape page; here the
    // printer writes a PDF.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("printed.pdf")));
    ASSERT_TRUE(printTrendGraph(printer, picture));

    const QImage printed = readPdf(printer.outputFileName(), 48);
    EXPECT_GT(printed.width(), printed.height());
    EXPECT_GT(pixelsOf(printed, picture.colours.income, 24), 0);

    const QString nowhere = folder.filePath(QStringLiteral("missing/graph.pdf"));
    const ExportResult result = saveTrendGraph(nowhere, picture);
    EXPECT_TRUE(!result && result.error.contains(nowhere)) << qPrintable(result.error);
}

// The file dialog's answer gets the suffix of the chosen filter when the
// name has none, so that the chosen kind is what gets written.
TEST(TrendPicture, ChosenFileGetsTheFiltersSuffix)
{
    const QString png = QStringLiteral("PNG 图片 (*.png)");
    EXPECT_EQ(withChosenSuffix(QStringLiteral("/tmp/graph"), pdfFileFilter()),
              QStringLiteral("/tmp/graph.pdf"));
    EXPECT_EQ(withChosenSuffix(QStringLiteral("/tmp/graph.PNG"), pdfFileFilter()),
              QStringLiteral("/tmp/graph.PNG"));
    EXPECT_EQ(withChosenSuffix({}, png), QString());
    EXPECT_EQ(withChosenSuffix(QStringLiteral("/tmp/Trend 2024.05"), png),
              QStringLiteral("/tmp/Trend 2024.05.png"))
        << "a dot in the name is no picture's suffix";
}

// With a printer the question names it; No and Cancel print nothing and ask
// for no file. Without one, an empty file name cancels and a file that
// cannot be written is reported with its name.
TEST(PrintCommand, QuestionNamesThePrinterAndEveryRefusalIsTold)
{
    const GraphPicture picture{
        layoutTrendGraph({graph::testing::monthly("2024-05", {1200, 1100}), {}, {}, {}}),
        {},
        QSizeF(900, 600)};
    const PrintQuestion named = printQuestion(QStringLiteral("Office Laser"));
    EXPECT_EQ(named.request.text, QStringLiteral("请在打印机:Office Laser准备纸张，然后点 【是 YES 】"));
    EXPECT_FALSE(named.offersFile);
    EXPECT_TRUE(printQuestion({}).offersFile);

    bool askedForFile = false;
    const auto choose = [&] {
        askedForFile = true;
        return QString();
    };
    for (const base::MessageAnswer answer : {base::MessageAnswer::No, base::MessageAnswer::Cancel}) {
        for (const QString &printer : {QStringLiteral("Office Laser"), QString()})
            EXPECT_EQ(runPrintCommand(printer, answer, picture, choose).outcome, PrintOutcome::Declined);
    }
    EXPECT_FALSE(askedForFile);

    const auto yes = base::MessageAnswer::Yes;
    EXPECT_EQ(runPrintCommand({}, yes, picture, choose).outcome, PrintOutcome::Cancelled);
    QTemporaryDir folder;
    const QString bad = folder.filePath(QStringLiteral("missing/graph.pdf"));
    const PrintResult failed = runPrintCommand({}, yes, picture, [&] { return bad; });
    EXPECT_EQ(failed.outcome, PrintOutcome::Failed);
    EXPECT_TRUE(failed.failure.text.contains(bad));
}
