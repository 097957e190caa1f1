#include "main_window.h"

#include "advice_label.h"
#include "base/month_keys.h"
#include "shell_layout.h"
#include "shell_menus.h"
#include "splitter_handle.h"
#include "status_panels.h"
#include "toolbar_images.h"

#include "base/app_paths.h"
#include "base/clock.h"
#include "base/message.h"
#include "base/scope_guard.h"
#include "base/status_line.h"
#include "base/twips.h"
#include "host/error_report.h"
#include "panel/ui/category_panel.h"
#include "skin/apply_skin.h"
#include "skin/border_strip.h"
#include "skin/caption_bar.h"
#include "skin/interface_font.h"
#include "skin/message_box.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <cmath>

#ifndef ZAMBREL_VERSION
#define ZAMBREL_VERSION "0.0.0"
#endif

// The home page is compiled into this static library; it must be named once
// so that the linker keeps it.
static void initHomePage()
{
    Q_INIT_RESOURCE(home);
}

namespace zambrel::ledger {
namespace {

using base::pixelsToTwips;
using base::twipsToPixels;

constexpr int kToolbarWidthTwips = 4865;
constexpr int kStatusPanelsTwips = 1411 + 1411 + 2647; // Caps Lock, Num Lock, date

int ceilPixels(int twips)
{
    return (twips + base::kTwipsPerPixel - 1) / base::kTwipsPerPixel;
}

QFont headingFont()
{
    QFont font;
    font.setFamilies(skin::installedFamilies({QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK SC")}));
    font.setPointSizeF(10.5);
    font.setBold(true);
    return font;
}

QRect toPixels(const QRect &twips)
{
    return QRect(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                 twipsToPixels(twips.height()));
}

// The toolbar counts its buttons in its size once its layout has run, which
// happens by itself only when it is first shown: run before that, the window
// was laid out two pixels short and moved down at its first later layout.
int toolbarHeight(const QToolBar *toolbar)
{
    toolbar->layout()->activate();
    return toolbar->sizeHint().height();
}

void paintLabel(QLabel *label, const QColor &text, const QColor &background)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

} // namespace

MainWindow::MainWindow(std::shared_ptr<store::Ledger> ledger, QWidget *parent) : MainWindow(parent)
{
    openBooks(std::move(ledger));
}

MainWindow::MainWindow(QWidget *parent)
    : skin::SkinnedWindow(parent), toolbar(new QToolBar(contentArea())),
      versionLabel(new QLabel(contentArea())), profitLossHeading(new QLabel(contentArea())),
      balanceSheetHeading(new QLabel(contentArea())), adviceLabel(new AdviceLabel(contentArea())),
      statusBar(new QStatusBar(contentArea())), splitterHandle(new SplitterHandle(contentArea())),
      splitterBar(new QWidget(contentArea())), homePage(new QTextBrowser(contentArea())),
      m_view(std::make_unique<MonthView>(this)),
      m_monthMenu(new QMenu(this)), m_skinMenu(new QMenu(this))
{
    setObjectName(QStringLiteral("frmMainUI"));
    initHomePage();
    buildToolbar();
    buildPanels();
    connectPanels();
    m_statusPanels = new StatusPanels(statusBar);

    profitLossHeading->setObjectName(QStringLiteral("lblSunyi"));
    profitLossHeading->setText(QStringLiteral("损益表 Profit and Loss"));
    balanceSheetHeading->setObjectName(QStringLiteral("lblAsset"));
    balanceSheetHeading->setText(QStringLiteral("资产负债表 Balance Sheet"));
    for (QLabel *heading : {profitLossHeading, balanceSheetHeading}) {
        heading->setFont(headingFont());
        heading->setIndent(4);
        heading->setMinimumHeight(heading->fontMetrics().height() + 6);
    }
    versionLabel->setObjectName(QStringLiteral("lblVersion"));
    versionLabel->setText(base::productName());
    versionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    adviceLabel->setObjectName(QStringLiteral("lblAdvise"));
    adviceLabel->setWordWrap(true);
    adviceLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // What the label is for; its name is the advice it shows.
    adviceLabel->setAccessibleDescription(QStringLiteral("理财建议 Advice"));
    adviceLabel->setMargin(6);

    splitterHandle->setObjectName(QStringLiteral("imgSplitter"));
    splitterHandle->resize(5, 100);
    splitterBar->setObjectName(QStringLiteral("picSplitter"));
    splitterBar->setAutoFillBackground(true);
    QPalette barPalette = splitterBar->palette();
    barPalette.setColor(QPalette::Window, QColor(0x60, 0x60, 0x60));
    splitterBar->setPalette(barPalette);
    splitterBar->hide();
    connect(splitterHandle, &SplitterHandle::pressed, this, &MainWindow::splitterPressed);
    connect(splitterHandle, &SplitterHandle::moved, this, &MainWindow::splitterMoved);
    connect(splitterHandle, &SplitterHandle::released, this, &MainWindow::splitterReleased);

    homePage->setObjectName(QStringLiteral("WB"));
    homePage->setAccessibleName(QStringLiteral("主页 Home"));
    homePage->setOpenLinks(false); // the page is the program's own; nothing is fetched
    // The page is always longer than the pane: a scroll bar that came only
    // once the text was laid out would narrow it and lay it all out again.
    homePage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Its links lead to its own topics.
    connect(homePage, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) {
        if (link.hasFragment())
            homePage->scrollToAnchor(link.fragment());
    });

    orderTabStops();

    connect(captionBar, &skin::CaptionBar::coloursChanged, this, &MainWindow::applySkinColours);
    initialise();
}

void MainWindow::openBooks(std::shared_ptr<store::Ledger> ledger)
{
    Q_ASSERT(!m_ledger);
    m_ledger = std::move(ledger);
    m_view->setLedger(*m_ledger);
    // Status texts come here while this window lives.
    base::setStatusWriter(this, [this](const QString &text, int panel) { setStatusPanelText(panel, text); });
    fillMonthMenu();
}

void MainWindow::wearCurrentSkin()
{
    const QString wanted = base::currentSkinPath();
    if (m_skinPath.isEmpty() || m_skinPath != (wanted.isEmpty() ? base::defaultSkinPath() : wanted))
        applySkin(wanted);
}

MainWindow::~MainWindow()
{
    base::releaseStatusWriter(this);
}

void MainWindow::buildPanels()
{
    incomePanel = new panel::CategoryPanel(&m_view->income(), contentArea());
    expenditurePanel = new panel::CategoryPanel(&m_view->expenditure(), contentArea());
    assetPanel = new panel::CategoryPanel(&m_view->assets(), contentArea());
    liabilityPanel = new panel::CategoryPanel(&m_view->liabilities(), contentArea());
    incomePanel->setObjectName(QStringLiteral("UCLVIncome"));
    expenditurePanel->setObjectName(QStringLiteral("UCLVPayout"));
    assetPanel->setObjectName(QStringLiteral("UCLVAsset"));
    liabilityPanel->setObjectName(QStringLiteral("UCLVDebt"));
}

void MainWindow::orderTabStops()
{
    // Reading order: the toolbar from left to right, the four categories
    // row by row, then the right-hand pane from the top.
    QList<QWidget *> stops;
    for (const char16_t *key : kToolbarKeys)
        stops << button(QString::fromUtf16(key));
    for (panel::CategoryPanel *panel : {incomePanel, expenditurePanel, assetPanel, liabilityPanel})
        stops << panel->list;
    stops << adviceLabel << homePage;
    for (qsizetype index = 0; index + 1 < stops.size(); ++index)
        setTabOrder(stops[index], stops[index + 1]);
}

void MainWindow::initialise()
{
    m_initialised = true;
    try {
        versionLabel->setText(base::productName() + QStringLiteral(" Ver") + QStringLiteral(ZAMBREL_VERSION));
        if (m_hasBackColour)
            applySkinColours(skin::fromQColor(profitLossHeading->palette().color(QPalette::WindowText)),
                             m_backColour);
        fillSkinMenu();

        QRect screen(0, 0, 1024, 768);
        if (QScreen *primary = QGuiApplication::primaryScreen())
            screen = primary->availableGeometry();
        const int width = screen.width();
        const int height = screen.height() * 9 / 10;
        setMinimumSize(ceilPixels(kMinWindowWidth), ceilPixels(kMinWindowHeight));
        setGeometry(screen.x() + (screen.width() - width) / 2, screen.y() + (screen.height() - height) / 2,
                    width, height);
        layOut(pixelsToTwips(width) - kSplitterMargin);
        homePage->setSource(QUrl(QStringLiteral("qrc:/zambrel/home.html")));
    } catch (const std::exception &error) {
        host::reportError(error, host::ErrorRoad::StartUp);
        QMetaObject::invokeMethod(this, &MainWindow::programEnding, Qt::QueuedConnection);
    }
}

void MainWindow::load()
{
    profitLossHeading->setText(profitLossHeading->text() + QStringLiteral(" 账本：") + m_ledger->path());
    wearCurrentSkin();
    if (!m_initialised)
        initialise();
    if (!captionBar->isMaximisedByBar()) {
        captionBar->maximise();
        refresh();
    }
    // The keyboard starts in the books, not in the advice beside them.
    incomePanel->list->setFocus(Qt::OtherFocusReason);
}

void MainWindow::prepareToolbarImages()
{
    for (int index = 1; index <= kToolbarButtons; ++index) {
        const QImage clear = whiteToTransparent(drawToolbarImage(index));
        button(QString::fromUtf16(kToolbarKeys[index - 1]))->setIcon(QIcon(QPixmap::fromImage(clear)));
    }
    layOut(pixelsToTwips(splitterHandle->x() + contentArea()->x()));
}

void MainWindow::refresh()
{
    if (!m_view)
        return;
    host::runReported(host::ErrorRoad::ToolbarCommand, [this] {
        if (const std::optional<MonthView::CarryForward> due = m_view->dueCarryForward())
            offerCarryForward(*due);
        m_view->reload();
    });
}

void MainWindow::offerCarryForward(const MonthView::CarryForward &due)
{
    setEnabled(false);
    setWindowCaption(QStringLiteral("月结处理中....."));
    // The window is usable again on every road out; the reload after this
    // sets its caption.
    const base::ScopeGuard enableAgain([this] { setEnabled(true); });
    if (base::showMessage(MonthView::carryForwardQuestion()) != base::MessageAnswer::Yes)
        return;
    // A failed write is told on its own road; the month opens all the same.
    if (host::runReported(host::ErrorRoad::BatchWrite, [this, &due] { m_view->carryForward(due); }))
        return;
    appendMonthEntry(QStringLiteral("MNEW") + due.to, due.to);
    setWindowCaption(QStringLiteral("处理完成"));
}

void MainWindow::fillMonthMenu()
{
    if (!m_view)
        return;
    QStringList months;
    try {
        months = m_ledger->newestMonths();
    } catch (const store::DbError &error) {
        // The menu keeps its fixed entries; the status line says why.
        showStatus(error.description());
        return;
    }
    for (const QString &month : months) {
        const MenuEntry entry = storedMonthEntry(month);
        if (!appendMonthEntry(entry.key, entry.caption))
            return; // a key already in the menu ends the list
    }
}

void MainWindow::booksReplaced()
{
    if (!m_view)
        return;
    m_view->booksReplaced();
    // A month a carry-forward made may be gone, or a restored one back.
    for (QAction *action : m_monthMenu->actions()) {
        if (action->data().toString().startsWith(u'M')) {
            m_monthMenu->removeAction(action);
            action->deleteLater();
        }
    }
    fillMonthMenu();
}

bool MainWindow::appendMonthEntry(const QString &key, const QString &caption)
{
    for (QAction *action : m_monthMenu->actions()) {
        if (action->data().toString() == key)
            return false;
    }
    QAction *action = m_monthMenu->addAction(caption);
    action->setData(key);
    action->setObjectName(key);
    // Chosen again or not, the month is reloaded.
    connect(action, &QAction::triggered, this, [this, caption] { showMonth(caption); });
    return true;
}

void MainWindow::fillSkinMenu()
{
    for (const QString &caption : skinMenuCaptions(base::skinsFolder())) {
        QAction *action = m_skinMenu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, caption] { chooseSkin(caption); });
    }
}

void MainWindow::showMonth(const QString &month)
{
    if (!m_view)
        return;
    m_view->setCurrentMonth(month);
    setRefreshCaption(month);
    refresh();
}

void MainWindow::applySkin(const QString &path)
{
    const QString wanted = path.isEmpty() ? base::defaultSkinPath() : path;
    // A skin that cannot be read is replaced by one that can; every window
    // then wears the replacement, and the status line says what happened.
    const QString skinPath = skin::applySkin(this, wanted);
    m_skinPath = skinPath;
    m_skinNotice =
        skinPath == wanted ? QString() : QStringLiteral("无法读取皮肤 Cannot read the skin: ") + wanted;
    if (isVisible())
        showSkinNotice();
    skin::applySkin(skin::messageBox(), skinPath);
    for (const QPointer<skin::SkinnedWindow> &window : m_secondary) {
        if (window)
            skin::applySkin(window.data(), skinPath);
    }
}

void MainWindow::showSkinNotice()
{
    if (m_skinNotice.isEmpty())
        return;
    showStatus(m_skinNotice);
    m_skinNotice.clear();
}

void MainWindow::showEvent(QShowEvent *event)
{
    skin::SkinnedWindow::showEvent(event);
    showSkinNotice();
}

void MainWindow::followSkin(skin::SkinnedWindow *window)
{
    m_secondary.emplace_back(window);
    if (!m_skinPath.isEmpty())
        skin::applySkin(window, m_skinPath);
}

void MainWindow::showStatus(const QString &text)
{
    base::showStatus(text, 1);
}

QString MainWindow::statusPanelText(int panel) const
{
    return m_statusPanels->text(panel);
}

void MainWindow::setStatusPanelText(int panel, const QString &text)
{
    m_statusPanels->setText(panel, text);
}

void MainWindow::chooseSkin(const QString &caption)
{
    const QString path = skinPathForCaption(base::skinsFolder(), caption);
    base::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"), path);
    base::setCurrentSkinPath(path);
    applySkin(path);
}

void MainWindow::applySkinColours(skin::ColourValue first, skin::ColourValue second)
{
    const QColor text = skin::toQColor(first);
    const QColor background = skin::toQColor(second);
    paintLabel(profitLossHeading, text, background);
    paintLabel(balanceSheetHeading, text, background);
    for (QWidget *bar : {static_cast<QWidget *>(toolbar), static_cast<QWidget *>(statusBar)}) {
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Window, background);
        bar->setPalette(palette);
        bar->setAutoFillBackground(true);
        bar->update();
    }
    m_backColour = second;
    m_hasBackColour = true;
    QPalette own = contentArea()->palette();
    own.setColor(QPalette::Window, background);
    contentArea()->setPalette(own);
    contentArea()->setAutoFillBackground(true);
}

void MainWindow::setWindowCaption(const QString &caption)
{
    setWindowTitle(caption);
    captionBar->setTitle(caption);
    captionBar->redraw();
}

void MainWindow::setRefreshCaption(const QString &month)
{
    m_refreshAction->setText(month);
}

void MainWindow::setRefreshEnabled(bool enabled)
{
    if (m_view)
        m_refreshAction->setEnabled(enabled);
}

void MainWindow::setAdvice(const QString &advice)
{
    adviceLabel->setText(shownAdvice(advice));
    layOut(pixelsToTwips(splitterHandle->x() + contentArea()->x()));
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    skin::SkinnedWindow::resizeEvent(event);
    layOut(pixelsToTwips(splitterHandle->x() + contentArea()->x()));
}

void MainWindow::place(QWidget *widget, const QRect &twipsRect)
{
    widget->setGeometry(toPixels(twipsRect).translated(-contentArea()->pos()));
}

void MainWindow::layOut(double x)
{
    ShellMetrics metrics;
    metrics.window = QSize(pixelsToTwips(width()), pixelsToTwips(height()));
    metrics.frameState = captionBar->frameState();
    metrics.captionTop = pixelsToTwips(captionBar->y());
    metrics.captionHeight = pixelsToTwips(captionBar->height());
    metrics.leftBorderX = pixelsToTwips(leftBorder->x());
    metrics.leftBorderWidth = pixelsToTwips(leftBorder->width());
    metrics.bottomBorderHeight = pixelsToTwips(bottomBorder->height());
    metrics.toolbarHeight = pixelsToTwips(toolbarHeight(toolbar));
    metrics.profitLossHeadingHeight = pixelsToTwips(profitLossHeading->minimumHeight());
    metrics.balanceSheetHeadingHeight = pixelsToTwips(balanceSheetHeading->minimumHeight());
    metrics.statusBarHeight = pixelsToTwips(statusBar->sizeHint().height());
    metrics.splitterWidth = pixelsToTwips(splitterHandle->width());
    metrics.statusPanelsWidth = kStatusPanelsTwips;

    const ShellLayout layout = ledger::shellLayout(metrics, x);
    if (layout.resizeTo) {
        resize(ceilPixels(layout.resizeTo->width()), ceilPixels(layout.resizeTo->height()));
        return;
    }
    for (skin::BorderStrip *border : {leftBorder, rightBorder, bottomBorder})
        border->setVisible(layout.bordersVisible);
    if (layout.region)
        setMask(QRegion(*layout.region));
    else
        clearMask();

    const int toolbarWidth = qMax(twipsToPixels(kToolbarWidthTwips), toolbar->sizeHint().width());
    const QPoint toolbarAt = QPoint(twipsToPixels(layout.toolbar.x()), twipsToPixels(layout.toolbar.y()));
    toolbar->setGeometry(
        QRect(toolbarAt - contentArea()->pos(), QSize(toolbarWidth, toolbarHeight(toolbar))));
    versionLabel->setGeometry(toolbar->geometry().right() + 8, toolbar->y(),
                              qMax(0, contentArea()->width() - toolbar->geometry().right() - 16),
                              toolbar->height());
    place(profitLossHeading, layout.profitLossHeading);
    place(incomePanel, layout.incomePanel);
    place(expenditurePanel, layout.expenditurePanel);
    place(balanceSheetHeading, layout.balanceSheetHeading);
    place(assetPanel, layout.assetPanel);
    place(liabilityPanel, layout.liabilityPanel);
    place(statusBar, layout.statusBar);
    place(splitterHandle, layout.splitterHandle);
    splitterBar->resize(splitterBar->width(), splitterHandle->height());

    // The right-hand pane: the written assessment over the home page.
    const QRect pane = toPixels(layout.rightPane).translated(-contentArea()->pos());
    const int adviceHeight = adviceLabel->text().isEmpty()
                                 ? 0
                                 : qMin(pane.height() * 2 / 5, adviceLabel->heightForWidth(pane.width()));
    adviceLabel->setGeometry(pane.x(), pane.y(), pane.width(), adviceHeight);
    homePage->setGeometry(pane.x(), pane.y() + adviceHeight, pane.width(), pane.height() - adviceHeight);
}

void MainWindow::splitterPressed()
{
    splitterBar->setGeometry(splitterHandle->x(), splitterHandle->y(), qMax(1, splitterHandle->width() / 2),
                             qMax(1, splitterHandle->height() - twipsToPixels(20)));
    splitterBar->show();
    splitterBar->raise();
    m_splitterMoving = true;
}

void MainWindow::splitterMoved(int x)
{
    if (!m_splitterMoving)
        return;
    const int offset = contentArea()->x();
    const int position = pixelsToTwips(splitterHandle->x() + offset + x);
    const int left = clampSplitter(position, pixelsToTwips(width()));
    splitterBar->move(twipsToPixels(left) - offset, splitterBar->y());
}

void MainWindow::splitterReleased()
{
    if (!m_splitterMoving)
        return;
    layOut(pixelsToTwips(splitterBar->x() + contentArea()->x()));
    splitterBar->hide();
    m_splitterMoving = false;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Alt+Down opens a toolbar button's menu from the keyboard.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *toolButton = qobject_cast<QToolButton *>(watched);
        if (toolButton && toolButton->menu() && key->key() == Qt::Key_Down &&
            (key->modifiers() & Qt::AltModifier)) {
            toolButton->showMenu();
            return true;
        }
    }
    return skin::SkinnedWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_switching && base::showMessage(QStringLiteral("是否退出 Are you sure exit？"),
                                          base::MessageButtons::YesNo, base::MessageIcon::Question,
                                          QStringLiteral("确认 Conform")) != base::MessageAnswer::Yes) {
        event->ignore();
        return;
    }
    releaseLedger();
    event->accept();
    if (!m_switching)
        Q_EMIT programEnding();
}

void MainWindow::releaseLedger()
{
    // The feature windows go with this window; none may touch the ledger
    // once it is closed.
    for (const QPointer<skin::SkinnedWindow> &window : m_secondary) {
        if (window)
            window->hide();
    }
    m_itemClicked.clear();
    m_itemDoubleClicked.clear();
    m_itemSelected.clear();
    for (const Command &each : m_commands)
        each.action->setEnabled(false);
    m_view.reset();
    m_ledger.reset();
    base::releaseStatusWriter(this);
}

void MainWindow::switchLedger(const QString &ledgerPath)
{
    m_switching = true;
    if (close())
        Q_EMIT ledgerSwitchRequested(ledgerPath);
    else
        m_switching = false;
}

} // namespace zambrel::ledger
