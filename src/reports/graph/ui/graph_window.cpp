#include "reports/graph/ui/graph_window.h"

#include "base/message.h"
#include "host/error_report.h"
#include "reports/graph/ui/graph_surface.h"
#include "skin/caption_bar.h"
#include "skin/colour_pass.h"
#include "skin/flat_button.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QShortcut>

namespace zambrel::graph {
namespace {

const QString kTitle = QStringLiteral("数据分析 Analytics");
const QString kSaveCaption = QStringLiteral("保存 Save");

QLabel *makeLegendLabel(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

skin::FlatButton *makeButton(const QString &name, const QString &caption, const QString &keys,
                             QWidget *parent)
{
    auto *button = new skin::FlatButton(caption, parent);
    button->setObjectName(name);
    button->setFixedSize(92, 30);
    if (!keys.isEmpty())
        button->setToolTip(keys);
    return button;
}

} // namespace

GraphWindow::GraphWindow(QWidget *parent)
    : SkinnedWindow(parent), surface(new GraphSurface(contentArea())),
      incomeLabel(makeLegendLabel(QStringLiteral("Label1"), QStringLiteral("收 入Prof--"), contentArea())),
      expenditureLabel(
          makeLegendLabel(QStringLiteral("Label2"), QStringLiteral("支 出Loss--"), contentArea())),
      assetsLabel(makeLegendLabel(QStringLiteral("Label3"), QStringLiteral("资产Asset--"), contentArea())),
      debtLabel(makeLegendLabel(QStringLiteral("Label4"), QStringLiteral("负债Liab --"), contentArea())),
      netWorthBox(new QCheckBox(QStringLiteral("净资产 Net worth"), contentArea())),
      saveButton(
          makeButton(QStringLiteral("cmdSave"), kSaveCaption, QStringLiteral("Ctrl+S"), contentArea())),
      printButton(makeButton(QStringLiteral("cmdPrint"), QStringLiteral("打印Print"),
                             QStringLiteral("Ctrl+P"), contentArea())),
      okButton(makeButton(QStringLiteral("OKButton"), QStringLiteral("确   定 OK"), {}, contentArea())),
      m_findPrinter(installedPrinterName)
{
    setObjectName(QStringLiteral("frmGraph"));
    setWindowTitle(kTitle);
    captionBar->setTitle(kTitle);
    netWorthBox->setObjectName(QStringLiteral("chkNetWorth"));
    buildLayout();
    takeColours(skin::fromQColor(palette().color(QPalette::Window)), m_colours.line);
    // Below the legend strip's own width its texts would be cut; in a
    // picture much smaller than 800 x 540 the month labels run into one
    // another. Room is left for the caption bar and the border strips.
    const QSize least = contentArea()->layout()->minimumSize().expandedTo(QSize(810, 600));
    setMinimumSize(least + QSize(16, 40));
    resize(minimumSize().expandedTo(QSize(880, 680)));

    connect(captionBar, &skin::CaptionBar::coloursChanged, this, &GraphWindow::takeColours);
    connect(netWorthBox, &QCheckBox::toggled, this, &GraphWindow::redraw);
    connect(okButton, &QAbstractButton::clicked, this, &QWidget::hide);
    connect(printButton, &QAbstractButton::clicked, this, [this] { print(); });
    connect(saveButton, &QAbstractButton::clicked, this, [this] { save(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this), &QShortcut::activated, this,
            [this] { print(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this,
            [this] { save(); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::hide);
}

GraphWindow::~GraphWindow() = default;

void GraphWindow::buildLayout()
{
    // Legend and buttons share one strip in the skin's surface colour, as
    // the picture above it does, so that the labels do not stand as separate
    // patches on the window.
    auto *strip = new QFrame(contentArea());
    strip->setObjectName(QStringLiteral("legendFrame"));
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 4, 4, 4);
    row->setSpacing(6);
    for (QWidget *control : {static_cast<QWidget *>(incomeLabel), static_cast<QWidget *>(expenditureLabel),
                             static_cast<QWidget *>(assetsLabel), static_cast<QWidget *>(debtLabel),
                             static_cast<QWidget *>(netWorthBox)}) {
        row->addWidget(control);
        row->addSpacing(8);
    }
    row->addStretch(1);
    for (skin::FlatButton *button : {saveButton, printButton, okButton})
        row->addWidget(button);

    auto *column = new QVBoxLayout(contentArea());
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(6);
    column->addWidget(surface, 1);
    column->addWidget(strip);

    setTabOrder(netWorthBox, saveButton);
    setTabOrder(saveButton, printButton);
    setTabOrder(printButton, okButton);
}

void GraphWindow::takeColours(skin::ColourValue surfaceColour, skin::ColourValue textColour)
{
    m_colours.line = textColour;
    m_colours.background = skin::toQColor(surfaceColour);
    skin::setTextColour(incomeLabel, m_colours.income);
    skin::setTextColour(expenditureLabel, m_colours.expenditure);
    skin::setTextColour(assetsLabel, skin::toQColor(m_colours.line));
    skin::setTextColour(debtLabel, m_colours.debt);
    // The box is the net-worth line's legend entry and wears its colour
    // where that can be read; the colour pass alone would lose it for good
    // after one skin where it cannot.
    skin::setTextColour(netWorthBox, skin::readsOn(m_colours.netWorth, m_colours.background)
                                         ? m_colours.netWorth
                                         : skin::toQColor(m_colours.line));
    redraw();
}

void GraphWindow::drawGraph(const store::Ledger &ledger)
{
    const TrendReading reading = readTrendSeries(ledger);
    showSeries(reading.series);
    if (!reading.failures.empty())
        host::reportError(reading.failure(), host::ErrorRoad::Query);
}

void GraphWindow::showSeries(const TrendSeries &series)
{
    m_series = series;
    redraw();
}

void GraphWindow::redraw()
{
    m_geometry = layoutTrendGraph(m_series, netWorthBox->isChecked());
    TrendGeometry onScreen = m_geometry;
    onScreen.legend.clear(); // the labels are the legend on the screen
    surface->showGraph(onScreen, m_colours);
}

GraphPicture GraphWindow::picture() const
{
    return {m_geometry, m_colours, QSizeF(surface->size())};
}

PrintOutcome GraphWindow::print()
{
    const QString printer = m_findPrinter ? m_findPrinter() : QString();
    const base::MessageAnswer answer = base::showMessage(printQuestion(printer).request);
    const PrintResult result = runPrintCommand(printer, answer, picture(), [this] {
        return chooseFile(QStringLiteral("保存 PDF"), pdfFileFilter());
    });
    if (result.outcome == PrintOutcome::Failed)
        base::showMessage(result.failure);
    return result.outcome;
}

bool GraphWindow::save()
{
    const QString path = chooseFile(kSaveCaption, trendGraphFileFilter());
    if (path.isEmpty())
        return false;
    const ExportResult result = saveTrendGraph(path, picture(), devicePixelRatioF());
    if (!result)
        base::showMessage(result.error, base::MessageButtons::Ok, base::MessageIcon::None, kSaveCaption);
    return result.ok;
}

QString GraphWindow::chooseFile(const QString &caption, const QString &filter)
{
    if (m_chooseFile)
        return m_chooseFile(caption, filter);
    QString chosenFilter;
    const QString path = QFileDialog::getSaveFileName(this, caption, {}, filter, &chosenFilter);
    return withChosenSuffix(path, chosenFilter);
}

void GraphWindow::showEvent(QShowEvent *event)
{
    SkinnedWindow::showEvent(event);
    if (m_centred)
        return;
    // Centred when first shown; later openings keep where the person put it.
    m_centred = true;
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

} // namespace zambrel::graph
