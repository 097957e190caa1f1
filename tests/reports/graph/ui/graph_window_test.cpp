// The trend graph window on real ledger files: what it reads and draws, the
// kept picture, print and save roads answered without a person, the
// net-worth line, point tips and the window's life between openings; and
// the graph inside the real main window, registered with the other
// features, its toolbar button opening the graph of the open ledger.
#include "../graph_fixtures.h"
#include "../graph_ledger.h"
#include "app/feature_list.h"
#include "base/app_paths.h"
#include "base/clock.h"
#include "ledger/ui/main_window.h"
#include "main_window_fixture.h"

#include "reports/graph/ui/graph_surface.h"
#include "reports/graph/ui/graph_window.h"
#include "skin/apply_skin.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "test_support.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>

using namespace zambrel;
using namespace zambrel::graph;
using graph::testing::colourNear;
using graph::testing::pixelsOf;

namespace {

class GraphWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = folder.filePath(QStringLiteral("books.mdb"));
        graph::testing::writeSampleLedger(path, "2026-01", 20);
        window = std::make_unique<GraphWindow>();
        window->setPrinterFinder([] { return QString(); });
        window->setFileChooser([this](const QString &caption, const QString &filter) {
            asked.push_back({caption, filter});
            return nextFile;
        });
        window->show();
    }

    /// Draws the graph of the ledger file as it is now.
    void draw() { window->drawGraph(store::Ledger(path, QString())); }
    bool incomeShownIn(const QImage &image) const
    {
        return colourNear(image, inPicture(firstIncomePoint()), QColor(0, 192, 0));
    }

    // Where a point of the graph lies in the kept picture.
    QPointF inPicture(QPointF graphPoint) const
    {
        return toPixels(graphPoint, QSizeF(window->surface->size())) * window->surface->devicePixelRatioF();
    }

    QPointF firstIncomePoint() const { return window->geometry().lines.front().points.front().at; }

    QTemporaryDir folder;
    QString path;
    testkit::ScriptedResponder responder{base::MessageAnswer::No};
    std::unique_ptr<GraphWindow> window;
    std::vector<std::pair<QString, QString>> asked;
    QString nextFile;
};

bool isPdf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

} // namespace

// The series of a real ledger, drawn once onto a picture the window keeps:
// showing it again copies the picture, a new size draws it again from the
// same geometry. The picture on the screen leaves its legend to the labels;
// what is printed carries it.
TEST_F(GraphWindowTest, DrawsTheLedgersSeriesOntoAKeptPicture)
{
    draw();
    ASSERT_EQ(window->geometry().lines.size(), 4u);
    for (const SeriesLine &line : window->geometry().lines)
        EXPECT_EQ(line.points.size(), 20u);
    EXPECT_TRUE(window->surface->geometry().legend.empty());
    EXPECT_EQ(window->picture().geometry.legend.size(), 4u);

    const int draws = window->surface->drawCount();
    window->hide();
    window->show();
    EXPECT_TRUE(incomeShownIn(window->surface->grab().toImage()));
    EXPECT_EQ(window->surface->drawCount(), draws);
    window->resize(window->size() + QSize(120, 80));
    EXPECT_EQ(window->surface->drawCount(), draws + 1);

    // The net-worth box adds the fifth line and takes it away again.
    window->netWorthBox->setFocus();
    QTest::keyClick(window->netWorthBox, Qt::Key_Space);
    EXPECT_EQ(window->geometry().lines.size(), 5u);
    EXPECT_GT(pixelsOf(window->surface->picture(), GraphColours().netWorth), 100);
    QTest::keyClick(window->netWorthBox, Qt::Key_Space);
    EXPECT_EQ(pixelsOf(window->surface->picture(), GraphColours().netWorth), 0);

    // Hovering a point shows its series, month and amount; elsewhere no tip.
    const QPointF point = toPixels(firstIncomePoint(), QSizeF(window->surface->size()));
    QTest::mouseMove(window->surface, point.toPoint() + QPoint(2, -1));
    EXPECT_EQ(window->surface->toolTip(), QStringLiteral("收入 Income\n2026-01: 12,000.00"));
    QTest::mouseMove(window->surface, QPoint(5, 5));
    EXPECT_TRUE(window->surface->toolTip().isEmpty());
}

// The debt query fails: one message, the three other lines drawn, and
// redrawing (a new size, the net-worth box) reads nothing again.
TEST_F(GraphWindowTest, AFailedSeriesIsReportedOnceAndTheOthersDrawn)
{
    graph::testing::makeLoanSumsOverflow(path);
    draw();
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.endsWith(QStringLiteral("无法查询。")));
    for (const SeriesLine &line : window->geometry().lines)
        EXPECT_EQ(line.points.size(), line.kind == SeriesKind::Debt ? 0u : 20u) << int(line.kind);
    EXPECT_TRUE(incomeShownIn(window->surface->picture()));

    window->resize(window->size() + QSize(40, 40));
    window->netWorthBox->setChecked(true);
    EXPECT_EQ(responder.shown().size(), 1u);
}

// No printer installed: the question offers a PDF, Yes writes it where the
// chooser says; No writes nothing. Ctrl+P is the print button.
TEST_F(GraphWindowTest, PrintWithoutAPrinterOffersThePdf)
{
    draw();
    nextFile = folder.filePath(QStringLiteral("printed.pdf"));
    responder.answer(base::MessageAnswer::Yes);
    QTest::mouseClick(window->printButton, Qt::LeftButton);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].text, printQuestion({}).request.text);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(isPdf(nextFile));

    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier); // answered No
    EXPECT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(asked.size(), 1u) << "No writes nothing";
}

// Save (button or Ctrl+S) writes what the chosen name asks for: a PNG of the
// picture as shown, or a PDF. Cancelling writes nothing and says nothing; a
// file that cannot be written is reported with its name.
TEST_F(GraphWindowTest, SaveWritesPngOrPdf)
{
    draw();
    nextFile = folder.filePath(QStringLiteral("graph.png"));
    QTest::mouseClick(window->saveButton, Qt::LeftButton);
    EXPECT_EQ(QImage(nextFile).size(), window->surface->picture().size());
    EXPECT_TRUE(incomeShownIn(QImage(nextFile)));

    nextFile = folder.filePath(QStringLiteral("graph.pdf"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(isPdf(nextFile));

    nextFile.clear();
    EXPECT_FALSE(window->save());
    EXPECT_TRUE(responder.shown().empty());
    nextFile = folder.filePath(QStringLiteral("missing/graph.png"));
    EXPECT_FALSE(window->save());
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_TRUE(responder.shown()[0].text.contains(nextFile));
}

// Closing and Escape hide the window without destroying it (OK is the
// graph command's test), and it shows again where it was put.
TEST_F(GraphWindowTest, ClosingAndEscapeHideTheWindowForTheNextOpening)
{
    window->move(window->pos() + QPoint(30, 20));
    const QPoint placed = window->pos();
    window->close();
    EXPECT_FALSE(window->isVisible());
    window->show();
    EXPECT_EQ(window->pos(), placed) << "shown again where it was put";
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

// Each shipped skin: the text colour becomes the line colour (assets line,
// axes, Label3) and stands out from the background, the surface colour the
// picture's background; the series' own colours stay.
TEST_F(GraphWindowTest, RendersInEveryShippedSkin)
{
    const QDir skins(QString::fromLocal8Bit(qgetenv("ZAMBREL_SKINS_DIR")));
    const QStringList files = skins.entryList({QStringLiteral("*.jss")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    draw();
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        skin::applySkin(window.get(), skins.filePath(file));
        const GraphColours colours = window->picture().colours;
        const QColor line = skin::toQColor(colours.line);
        EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("Label3"))->palette().color(QPalette::WindowText), line);
        EXPECT_GE(qAbs(qGray(line.rgb()) - qGray(colours.background.rgb())), 96);
        EXPECT_TRUE(colourNear(window->surface->picture(), inPicture(QPointF(12, 0)), line)); // x axis
    }
}

namespace {

// Reads the income line of the graph window once it shows, then presses
// its OK button.
struct Seen {
    QPointer<graph::GraphWindow> window;
    bool modal = false;
    std::vector<graph::SeriesPoint> income;

    void whenShown()
    {
        QTimer::singleShot(0, [this] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *shown = qobject_cast<graph::GraphWindow *>(widget);
                if (!shown || !shown->isVisible())
                    continue;
                window = shown;
                modal = shown->isInModalLoop();
                income = shown->geometry().lines.front().points;
                QTest::mouseClick(shown->okButton, Qt::LeftButton);
            }
        });
    }
};

} // namespace

TEST(GraphCommand, TheGraphButtonOpensTheLedgersGraphAndKeepsTheWindow)
{
    testkit::WindowFixture fixture;
    testkit::writeSampleMonth(QStringLiteral("2026-03"));
    testkit::writeSampleMonth(QStringLiteral("2026-04"), 1.1);
    testkit::writeSampleMonth(QStringLiteral("2026-05"), 1.2);
    ledger::MainWindow *main = &fixture.open(app::registerFeatures, true);
    const QString skin = QDir(base::skinsFolder()).filePath(QStringLiteral("晴空蔚蓝.jss"));
    main->applySkin(skin);
    QToolButton *graphButton = main->button(QStringLiteral("Graph"));
    ASSERT_TRUE(graphButton->isEnabled());

    Seen seen;
    seen.whenShown();
    QTest::mouseClick(graphButton, Qt::LeftButton);
    ASSERT_FALSE(seen.window.isNull());
    EXPECT_TRUE(seen.modal);
    EXPECT_FALSE(seen.window->isVisible());
    EXPECT_EQ(seen.window->captionBar->skinPath(), skin);
    EXPECT_TRUE(fixture.responder.shown().empty());
    // The months were written at 1.2, 1.1 and 1 times the sample.
    ASSERT_EQ(seen.income.size(), 3u);
    EXPECT_EQ(seen.income[0].month, QStringLiteral("2026-05"));
    EXPECT_NEAR(seen.income[0].amount / seen.income[2].amount, 1.2, 1e-3);
    const double mayIncome = seen.income.front().amount;

    // The second opening reuses the window and reads the ledger again.
    const QPointer<graph::GraphWindow> first = seen.window;
    store::Item bonus;
    bonus.type = QStringLiteral("奖金");
    bonus.name = QStringLiteral("季度奖");
    bonus.income = 3000;
    main->ledger().addItem(QStringLiteral("2026-05"), bonus);
    seen.whenShown();
    main->command(QStringLiteral("Graph"))->trigger();
    EXPECT_EQ(seen.window, first);
    EXPECT_DOUBLE_EQ(seen.income.front().amount, mayIncome + 3000);
    EXPECT_EQ(main->findChildren<graph::GraphWindow *>().size(), 1);

    // It goes with the main window.
    fixture.closeWindow();
    EXPECT_TRUE(first.isNull());
}
