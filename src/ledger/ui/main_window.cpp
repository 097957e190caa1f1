#include "main_window.h"

#include "ledger/month_keys.h"
#include "shell_layout.h"
#include "shell_menus.h"
#include "splitter_handle.h"
#include "toolbar_images.h"

#include "panel/ui/category_panel.h"
#include "skin/apply_skin.h"
#include "skin/border_strip.h"
#include "skin/caption_bar.h"
#include "skin/message_box.h"
#include "store/app_paths.h"
#include "store/clock.h"
#include "store/connection.h"
#include "store/db_error.h"
#include "store/message.h"
#include "store/mod_db.h"
#include "store/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>

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

using store::pixelsToTwips;
using store::twipsToPixels;

constexpr int kToolbarWidthTwips = 4865;
constexpr int kStatusPanelTwips[] = {1411, 1411, 1411, 2647};

struct ToolbarButtonText {
    const char16_t *key;
    const char16_t *caption;
    const char16_t *toolTip;
};

constexpr ToolbarButtonText kButtons[kToolbarButtons] = {
    {u"add", u"新活动", u"New"},       {u"update", u"修改", u"Update"},     {u"delete", u"删除", u"Delete"},
    {u"refresh", u"刷新", u"Refresh"}, {u"chgSkin", u"外观", u"Analytics"}, {u"Graph", u"分析", nullptr},
};

int ceilPixels(int twips)
{
    return (twips + store::kTwipsPerPixel - 1) / store::kTwipsPerPixel;
}

QFont headingFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(10.5);
    font.setBold(true);
    return font;
}

QRect toPixels(const QRect &twips)
{
    return QRect(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                 twipsToPixels(twips.height()));
}

// The toolbar's own hint can lag behind its buttons before it is first
// shown; the buttons know their height.
int toolbarHeight(const QToolBar *toolbar)
{
    int height = toolbar->sizeHint().height();
    for (const QToolButton *toolButton : toolbar->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly))
        height = qMax(height, toolButton->sizeHint().height() + 6);
    return height;
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

MainWindow::MainWindow(QWidget *parent)
    : skin::SkinnedWindow(parent), toolbar(new QToolBar(contentArea())),
      versionLabel(new QLabel(contentArea())), profitLossHeading(new QLabel(contentArea())),
      balanceSheetHeading(new QLabel(contentArea())), adviceLabel(new QLabel(contentArea())),
      statusBar(new QStatusBar(contentArea())), splitterHandle(new SplitterHandle(contentArea())),
      splitterBar(new QWidget(contentArea())), homePage(new QTextBrowser(contentArea())),
      m_view(std::make_unique<MonthView>(this)), m_monthMenu(new QMenu(this)), m_skinMenu(new QMenu(this))
{
    setObjectName(QStringLiteral("frmMainUI"));
    initHomePage();
    buildToolbar();
    buildPanels();
    buildStatusBar();

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
    versionLabel->setText(store::productName());
    versionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    adviceLabel->setObjectName(QStringLiteral("lblAdvise"));
    adviceLabel->setWordWrap(true);
    adviceLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    adviceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    adviceLabel->setFocusPolicy(Qt::TabFocus);
    adviceLabel->setAccessibleName(QStringLiteral("理财建议"));
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

    connect(captionBar, &skin::CaptionBar::coloursChanged, this, &MainWindow::applySkinColours);
    auto *refreshKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refreshKey, &QShortcut::activated, this, &MainWindow::refresh);

    initialise();
}

MainWindow::~MainWindow()
{
    if (store::modDB::mainWindow() == this)
        store::modDB::setMainWindow(nullptr);
}

void MainWindow::buildToolbar()
{
    toolbar->setObjectName(QStringLiteral("Toolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    for (const ToolbarButtonText &entry : kButtons) {
        auto *toolButton = new QToolButton(toolbar);
        const QString key = QString::fromUtf16(entry.key);
        const QString caption = QString::fromUtf16(entry.caption);
        toolButton->setObjectName(key);
        toolButton->setText(caption);
        toolButton->setAccessibleName(caption);
        toolButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        toolButton->setFocusPolicy(Qt::TabFocus);
        if (entry.toolTip)
            toolButton->setToolTip(QString::fromUtf16(entry.toolTip));
        toolbar->addWidget(toolButton);
        connect(toolButton, &QToolButton::clicked, this, [this, key] { toolbarClick(key); });
        toolButton->installEventFilter(this);
    }
    button(QStringLiteral("refresh"))->setMenu(m_monthMenu);
    button(QStringLiteral("refresh"))->setPopupMode(QToolButton::MenuButtonPopup);
    button(QStringLiteral("chgSkin"))->setMenu(m_skinMenu);
    button(QStringLiteral("chgSkin"))->setPopupMode(QToolButton::MenuButtonPopup);
    m_monthMenu->setObjectName(QStringLiteral("monthMenu"));
    m_skinMenu->setObjectName(QStringLiteral("skinMenu"));
    connect(m_monthMenu, &QMenu::triggered, this, &MainWindow::monthMenuClick);
    connect(m_skinMenu, &QMenu::triggered, this, &MainWindow::skinMenuClick);

    for (const MenuEntry &entry : fixedMonthMenuEntries()) {
        QAction *action = m_monthMenu->addAction(entry.caption);
        action->setObjectName(entry.key);
        action->setData(entry.key);
        action->setEnabled(false); // their windows come later
    }
    // Nothing answers the item commands or the analysis yet.
    for (const char *key : {"add", "update", "delete", "Graph"})
        button(QString::fromLatin1(key))->setEnabled(false);
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

void MainWindow::buildStatusBar()
{
    statusBar->setObjectName(QStringLiteral("StatusBar"));
    statusBar->setSizeGripEnabled(false);
    auto *first = new QLabel(statusBar);
    first->setAccessibleName(QStringLiteral("状态 Status"));
    statusBar->addWidget(first, 1);
    m_statusPanels.push_back(first);
    const QString fixedTexts[] = {QStringLiteral("CAPS"), QStringLiteral("NUM"), QStringLiteral("INS"),
                                  store::today().toString(QStringLiteral("yyyy-MM-dd"))};
    for (int panel = 0; panel < 4; ++panel) {
        auto *label = new QLabel(fixedTexts[panel], statusBar);
        label->setFixedWidth(twipsToPixels(kStatusPanelTwips[panel]));
        label->setAlignment(Qt::AlignCenter);
        statusBar->addPermanentWidget(label);
        m_statusPanels.push_back(label);
    }
}

void MainWindow::initialise()
{
    m_initialised = true;
    try {
        versionLabel->setText(store::productName() + QStringLiteral(" Ver") +
                              QStringLiteral(ZAMBREL_VERSION));
        if (m_hasBackColour)
            applySkinColours(skin::fromQColor(profitLossHeading->palette().color(QPalette::WindowText)),
                             m_backColour);
        fillSkinMenu();
        fillMonthMenu();

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
        const auto *dbError = dynamic_cast<const store::DbError *>(&error);
        store::showMessage(dbError ? dbError->description() : QString::fromUtf8(error.what()),
                           store::vbCritical, QStringLiteral("致命错误"));
        QMetaObject::invokeMethod(this, &MainWindow::programEnding, Qt::QueuedConnection);
    }
}

void MainWindow::load()
{
    profitLossHeading->setText(profitLossHeading->text() + QStringLiteral(" 账本：") +
                               store::modDB::ledgerPath());
    applySkin(store::modDB::skinPath());
    if (!m_initialised || !store::modDB::connection())
        initialise();
    if (!captionBar->isMaximisedByBar()) {
        captionBar->maximise();
        refresh();
    }
}

void MainWindow::prepareToolbarImages()
{
    for (int index = 1; index <= kToolbarButtons; ++index) {
        const QImage clear = whiteToTransparent(drawToolbarImage(index));
        button(QString::fromUtf16(kButtons[index - 1].key))->setIcon(QIcon(QPixmap::fromImage(clear)));
    }
    QCoreApplication::processEvents();
    layOut(pixelsToTwips(splitterHandle->x() + contentArea()->x()));
}

void MainWindow::refresh()
{
    if (!m_view)
        return;
    m_view->refresh();
    QCoreApplication::processEvents();
}

void MainWindow::fillMonthMenu()
{
    if (!m_view)
        return;
    for (const QString &month : newestMonths()) {
        const MenuEntry entry = storedMonthEntry(month);
        if (!appendMonthEntry(entry.key, entry.caption))
            return; // a key already in the menu ends the list
    }
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
    return true;
}

void MainWindow::fillSkinMenu()
{
    for (const QString &caption : skinMenuCaptions(store::skinsFolder()))
        m_skinMenu->addAction(caption);
}

void MainWindow::applySkin(const QString &path)
{
    const QString skinPath = path.isEmpty() ? store::defaultSkinPath() : path;
    skin::applySkin(this, skinPath);
    skin::applySkin(skin::messageBox(), skinPath);
    for (const QPointer<skin::SkinnedWindow> &window : m_secondary) {
        if (window)
            skin::applySkin(window.data(), skinPath);
    }
}

void MainWindow::addSecondaryWindow(skin::SkinnedWindow *window)
{
    m_secondary.emplace_back(window);
}

void MainWindow::setItemCommandsAvailable(bool available)
{
    m_itemCommands = available;
    button(QStringLiteral("add"))->setEnabled(available);
    if (!available) {
        button(QStringLiteral("update"))->setEnabled(false);
        button(QStringLiteral("delete"))->setEnabled(false);
    }
}

QToolButton *MainWindow::button(const QString &key) const
{
    return toolbar->findChild<QToolButton *>(key, Qt::FindDirectChildrenOnly);
}

QString MainWindow::statusPanelText(int panel) const
{
    if (panel < 1 || panel > static_cast<int>(m_statusPanels.size()))
        return {};
    return m_statusPanels[panel - 1]->text();
}

void MainWindow::setStatusPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > static_cast<int>(m_statusPanels.size()))
        return;
    m_statusPanels[panel - 1]->setText(text);
    // The month's status line is cut off in a narrow window; its tip keeps
    // the whole of it.
    if (panel == 1)
        m_statusPanels[0]->setToolTip(text);
}

void MainWindow::toolbarClick(const QString &key)
{
    if (key == QLatin1String("refresh")) {
        refresh();
    } else if (key == QLatin1String("add") || key == QLatin1String("update") ||
               key == QLatin1String("delete")) {
        if (m_itemCommands)
            Q_EMIT itemCommandRequested(key);
    }
    // chgSkin acts only through its menu; Graph comes with the trend graph.
}

void MainWindow::monthMenuClick(QAction *entry)
{
    if (!entry || !m_view)
        return;
    try {
        const QString key = entry->data().toString();
        if (key.startsWith(QLatin1Char('M'))) {
            // Chosen again or not, the month is reloaded.
            m_view->setCurrentMonth(entry->text());
            setRefreshCaption(entry->text());
            refresh();
        }
    } catch (const store::DbError &error) {
        store::showMessage(error.description(), store::vbOKOnly, QStringLiteral("出错了"));
    }
}

void MainWindow::skinMenuClick(QAction *entry)
{
    if (!entry)
        return;
    const QString path = skinPathForCaption(store::skinsFolder(), entry->text());
    store::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"), path);
    store::modDB::setSkinPath(path);
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

void MainWindow::setWindowEnabled(bool enabled)
{
    setEnabled(enabled);
}

void MainWindow::setWindowCaption(const QString &caption)
{
    setWindowTitle(caption);
    captionBar->setTitle(caption);
    captionBar->redraw();
}

void MainWindow::addMonthMenuEntry(const QString &key, const QString &caption)
{
    appendMonthEntry(key, caption);
}

void MainWindow::setRefreshCaption(const QString &month)
{
    button(QStringLiteral("refresh"))->setText(month);
}

void MainWindow::setToolbarButtonEnabled(ToolbarButton which, bool enabled)
{
    switch (which) {
    case ToolbarButton::Refresh:
        button(QStringLiteral("refresh"))->setEnabled(enabled);
        break;
    case ToolbarButton::Update:
        button(QStringLiteral("update"))->setEnabled(enabled && m_itemCommands);
        break;
    case ToolbarButton::Delete:
        button(QStringLiteral("delete"))->setEnabled(enabled && m_itemCommands);
        break;
    }
}

void MainWindow::setAdvice(const QString &advice)
{
    QString text = advice;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    adviceLabel->setText(text.trimmed());
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
    metrics.statusPanelsWidth = 0;
    for (int panel : kStatusPanelTwips)
        metrics.statusPanelsWidth += panel;

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
    if (!m_switching &&
        store::showMessage(QStringLiteral("是否退出 Are you sure exit？"), store::vbQuestion | store::vbYesNo,
                           QStringLiteral("确认 Conform")) != store::vbYes) {
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
    m_view.reset();
    if (const std::shared_ptr<store::Connection> connection = store::modDB::connection())
        connection->close();
    store::modDB::setConnection(nullptr);
}

} // namespace zambrel::ledger
