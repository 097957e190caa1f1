#include "reports/stock/ui/stock_window.h"

#include "host/error_report.h"
#include "panel/ui/list_fill.h"
#include "reports/stock/stock_texts.h"
#include "reports/stock/ui/chart_picture.h"
#include "reports/stock/ui/content_size.h"
#include "reports/stock/ui/site_settings_dialog.h"
#include "skin/apply_skin.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "store/ledger.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>

#include <utility>

namespace zambrel::stock {
namespace {

const QString kCaption = QStringLiteral("核对股票 Check Stock");
const QString kCodeHint = QStringLiteral("股票名称前面为代码才能显示K线图，比如600000 浦发银行");

constexpr QSize kContentSize{820, 564};

// The option buttons' own colours: rise dark red, fall green.
const QColor kRiseColour(192, 0, 0);
const QColor kFallColour(0, 128, 0);

// `colour`, or a lighter shade of it where it would vanish into a dark
// surface, so that rise stays red and fall green on every skin.
QColor readableOn(const QColor &colour, const QColor &surface)
{
    constexpr int kLeastBrightnessGap = 96;
    if (qAbs(qGray(colour.rgb()) - qGray(surface.rgb())) >= kLeastBrightnessGap)
        return colour;
    const QColor light = QColor::fromHsv(colour.hsvHue(), 110, 255);
    return qAbs(qGray(light.rgb()) - qGray(surface.rgb())) >= kLeastBrightnessGap ? light : colour;
}

QLabel *makeLabel(const QString &name, const QString &caption, QWidget *parent, QRect place)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

// A box named by its label, for the keyboard and for assistive technology.
QLineEdit *makeBox(const QString &name, const QString &text, QLabel *label, QWidget *parent, QRect place)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setGeometry(place);
    if (label) {
        label->setBuddy(box);
        box->setAccessibleName(label->text());
    }
    return box;
}

QTreeWidget *makeList(const QString &name, const QString &accessibleName, QWidget *parent, QRect place)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setGeometry(place);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The last column takes what the header text's widths leave over.
    list->header()->setStretchLastSection(true);
    return list;
}

QRadioButton *makeOption(int index, const QString &caption, const QColor &colour, QWidget *parent,
                         QRect place)
{
    auto *option = new QRadioButton(caption, parent);
    option->setObjectName(QStringLiteral("optF_%1").arg(index));
    option->setGeometry(place);
    QPalette palette = option->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    option->setPalette(palette);
    return option;
}

skin::FlatButton *makeButton(const QString &name, const QString &caption, QWidget *parent, QRect place)
{
    auto *button = new skin::FlatButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    return button;
}

} // namespace

StockWindow::StockWindow(store::Ledger &ledger, QWidget *parent)
    : SkinnedWindow(parent), holdingsList(makeList(QStringLiteral("lv"), QStringLiteral("持有股票 Holdings"),
                                                   contentArea(), {8, 8, 804, 132})),
      targetList(makeList(QStringLiteral("lvTarget"), QStringLiteral("目标价格 Price targets"), contentArea(),
                          {8, 274, 236, 216})),
      targetFrame(new QGroupBox(QStringLiteral("预测条件(结果仅供参考)"), contentArea())),
      riseOption(makeOption(0, QStringLiteral("涨"), kRiseColour, targetFrame, {14, 24, 60, 22})),
      fallOption(makeOption(1, QStringLiteral("跌"), kFallColour, targetFrame, {84, 24, 60, 22})),
      lowLabel(
          makeLabel(QStringLiteral("Label1"), QStringLiteral("参考低点"), targetFrame, {14, 54, 64, 24})),
      lowBox(makeBox(QStringLiteral("txtL"), QStringLiteral("10"), lowLabel, targetFrame, {80, 54, 66, 24})),
      highLabel(makeLabel(QStringLiteral("lblH"), QStringLiteral("参考高点"), targetFrame, {14, 86, 64, 24})),
      highBox(
          makeBox(QStringLiteral("txtH"), QStringLiteral("20"), highLabel, targetFrame, {80, 86, 66, 24})),
      rangeBox(makeBox(QStringLiteral("txtHL"), {}, nullptr, targetFrame, {154, 70, 70, 24})),
      codeLabel(makeLabel(QStringLiteral("lblCode"), QStringLiteral("股票代码 ShareCode"), contentArea(),
                          {252, 463, 126, 24})),
      codeBox(makeBox(QStringLiteral("Text1"), QStringLiteral("600000"), codeLabel, contentArea(),
                      {380, 463, 80, 24})),
      hintLabel(makeLabel(QStringLiteral("lblMonth"), kCodeHint, contentArea(), {252, 498, 560, 22})),
      picture(new ChartPicture(contentArea())),
      kLineButton(makeButton(QStringLiteral("FlatButton1"), QStringLiteral("检查 Check"), contentArea(),
                             {472, 460, 108, 30})),
      trendButton(makeButton(QStringLiteral("FlatButton2"), QStringLiteral("走势 Today"), contentArea(),
                             {588, 460, 108, 30})),
      browseButton(makeButton(QStringLiteral("cmdVisit"), QStringLiteral("浏览Browse"), contentArea(),
                              {704, 460, 108, 30})),
      settingsButton(makeButton(QStringLiteral("cmdSettings"), QStringLiteral("设置 Settings"), contentArea(),
                                {8, 526, 120, 30})),
      okButton(makeButton(QStringLiteral("OKButton"), QStringLiteral("确   定 OK"), contentArea(),
                          {620, 526, 92, 30})),
      cancelButton(makeButton(QStringLiteral("CancelButton"), QStringLiteral("取消Cancel"), contentArea(),
                              {720, 526, 92, 30})),
      m_ledger(ledger)
{
    setObjectName(QStringLiteral("frmStock"));
    setAttribute(Qt::WA_DeleteOnClose);
    captionBar->setWindowStyle(3); // fixed size: no maximise
    buildControls();
    buildTargetTable();
    bindChart();
    connect(captionBar, &skin::CaptionBar::coloursChanged, this, &StockWindow::followSurface);
    keepContentSize(this, kContentSize);
}

StockWindow::~StockWindow() = default;

void StockWindow::buildControls()
{
    targetFrame->setObjectName(QStringLiteral("fraBase"));
    targetFrame->setAccessibleName(targetFrame->title());
    targetFrame->setGeometry(8, 148, 236, 118);
    rangeBox->setReadOnly(true);
    rangeBox->setAccessibleName(highLabel->text() + QStringLiteral(" - ") + lowLabel->text());
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setAccessibleName(QStringLiteral("图表 Chart"));
    picture->setToolTip(QStringLiteral("单击切换K线图和走势图 Click to switch chart"));
    picture->setGeometry(252, 148, 560, 306);
    // The skin gives labels the surface colour and the window another one:
    // a label as wide as its text shows no empty band.
    for (QLabel *label : {codeLabel, hintLabel}) {
        const QPoint at = label->pos();
        label->adjustSize();
        label->move(at.x(), at.y() + (24 - label->height()) / 2);
    }

    connect(lowBox, &QLineEdit::textChanged, this, &StockWindow::recomputeTargets);
    connect(highBox, &QLineEdit::textChanged, this, &StockWindow::recomputeTargets);
    connect(riseOption, &QRadioButton::clicked, this, &StockWindow::recomputeTargets);
    connect(fallOption, &QRadioButton::clicked, this, &StockWindow::recomputeTargets);

    connect(holdingsList, &QTreeWidget::itemClicked, this, &StockWindow::holdingChosen);
    holdingsList->installEventFilter(this);
    connect(kLineButton, &skin::FlatButton::clicked, this, [this] { m_chart.showKLine(codeBox->text()); });
    connect(trendButton, &skin::FlatButton::clicked, this, [this] { m_chart.showTrend(codeBox->text()); });
    connect(codeBox, &QLineEdit::returnPressed, this, [this] { m_chart.enterCode(codeBox->text()); });
    connect(picture, &ChartPicture::clicked, this, [this] { m_chart.toggleKind(codeBox->text()); });
    connect(browseButton, &skin::FlatButton::clicked, this, &StockWindow::browse);
    connect(settingsButton, &skin::FlatButton::clicked, this, &StockWindow::editSites);
    connect(okButton, &skin::FlatButton::clicked, this, &QWidget::hide);
    connect(cancelButton, &skin::FlatButton::clicked, this, &QWidget::hide);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);

    // The keyboard walks the window in reading order.
    const QList<QWidget *> order = {holdingsList, riseOption,   fallOption,     lowBox,   highBox,
                                    rangeBox,     targetList,   picture,        codeBox,  kLineButton,
                                    trendButton,  browseButton, settingsButton, okButton, cancelButton};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void StockWindow::buildTargetTable()
{
    QString header = kTargetHeader;
    store::setListHeader(targetList, header);
    for (const TargetRow &row : targetRows()) {
        auto *item = new QTreeWidgetItem(targetList, QStringList{row.text, QString()});
        if (row.bold) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
            item->setFont(1, bold);
        }
    }
}

void StockWindow::bindChart()
{
    connect(&m_chart, &ChartController::captionChanged, this, [this](const QString &caption) {
        setWindowTitle(caption);
        captionBar->setTitle(caption);
    });
    connect(&m_chart, &ChartController::codeBoxEnabledChanged, this, [this](bool enabled) {
        // Disabling the box takes the focus away from whoever typed in it:
        // it goes back when the box does.
        if (!enabled)
            m_codeBoxHadFocus = codeBox->hasFocus();
        codeBox->setEnabled(enabled);
        if (enabled && std::exchange(m_codeBoxHadFocus, false) && isVisible())
            codeBox->setFocus();
    });
    connect(&m_chart, &ChartController::statusChanged, this, &StockWindow::statusChanged);
    connect(&m_chart, &ChartController::pictureChanged, this,
            [this] { picture->setPicture(m_chart.picture()); });
    connect(&m_chart, &ChartController::sitesChanged, this,
            [this] { picture->setHint(m_chart.chartSite().hint); });
    m_chart.setCaption(kCaption);
    m_chart.setPictureSize(picture->pictureArea());
    m_chart.setSites(loadSiteSettings());
}

void StockWindow::displayStock()
{
    store::ResultTable holdings;
    // A failed read is told on the list's road; the window shows all the
    // same, with the list as it was.
    if (host::runReported(host::ErrorRoad::ListQuery, [&] {
            holdings = store::readShowingBusy([this] { return m_ledger.holdings(m_month); });
        }))
        return;
    QString header = kHoldingsHeader;
    store::fillList(holdingsList, holdings, true, header);
    m_hasHoldings = !holdings.rows.empty();
}

Direction StockWindow::direction() const
{
    if (riseOption->isChecked())
        return Direction::Rise;
    return fallOption->isChecked() ? Direction::Fall : Direction::Neither;
}

void StockWindow::recomputeTargets()
{
    const std::optional<TargetPrices> table = targetPrices(lowBox->text(), highBox->text(), direction());
    if (!table)
        return;
    rangeBox->setText(table->rangeText());
    for (int row = 0; row < kTargetRowCount; ++row)
        targetList->topLevelItem(row)->setText(1, table->priceText(row));
}

void StockWindow::holdingChosen(QTreeWidgetItem *row)
{
    // The "没有记录。" row names no share.
    if (!row || !m_hasHoldings)
        return;
    codeBox->setText(m_chart.showHolding(row->text(1)));
}

void StockWindow::browse()
{
    const QString companyHost = m_chart.sites().companyHost;
    const QUrl page = companyPageUrl(companyHost, codeBox->text());
    if (page.isEmpty()) {
        Q_EMIT statusChanged(checkSite(companyHost, Site::Company).hint);
        return;
    }
    if (!QDesktopServices::openUrl(page))
        Q_EMIT statusChanged(QStringLiteral("无法打开浏览器 The browser could not be started"));
}

SiteSettingsDialog *StockWindow::siteDialog() const
{
    return m_siteDialog;
}

void StockWindow::editSites()
{
    if (!m_siteDialog)
        m_siteDialog = new SiteSettingsDialog(this);
    skin::applySkin(m_siteDialog, captionBar->skinPath());
    m_siteDialog->move(geometry().center() - m_siteDialog->rect().center());
    SiteSettings sites = m_chart.sites();
    if (!m_siteDialog->edit(sites))
        return;
    saveSiteSettings(sites);
    m_chart.setSites(loadSiteSettings());
}

void StockWindow::followSurface(skin::ColourValue surface)
{
    const QColor back = skin::toQColor(surface);
    for (QRadioButton *option : {riseOption, fallOption}) {
        QPalette palette = option->palette();
        const QColor colour = readableOn(option == riseOption ? kRiseColour : kFallColour, back);
        palette.setColor(QPalette::WindowText, colour);
        palette.setColor(QPalette::ButtonText, colour);
        option->setPalette(palette);
    }
}

void StockWindow::showEvent(QShowEvent *event)
{
    // Centred once, at the first opening, when the skin has given the
    // window its final size.
    if (!m_placed) {
        m_placed = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
    }
    SkinnedWindow::showEvent(event);
}

void StockWindow::hideEvent(QHideEvent *event)
{
    SkinnedWindow::hideEvent(event);
    // Nothing may arrive for a window nobody sees; minimising keeps it.
    if (!isMinimized())
        m_chart.cancel();
}

void StockWindow::closeEvent(QCloseEvent *event)
{
    m_chart.cancel();
    event->accept();
}

bool StockWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == holdingsList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            holdingChosen(holdingsList->currentItem());
            return true;
        }
    }
    return SkinnedWindow::eventFilter(watched, event);
}

} // namespace zambrel::stock
