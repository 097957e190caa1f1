#include "main_window.h"

#include "ledger/month_keys.h"
#include "shell_layout.h"
#include "shell_menus.h"
#include "splitter_handle.h"
#include "toolbar_images.h"

#include "panel/ui/category_panel.h"
#include "skin/js_border.h"
#include "skin/js_caption.h"
#include "skin/msg_box.h"
#include "skin/skin_window.h"
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

frmMainUI::frmMainUI(QWidget *parent)
    : skin::SkinnedWindow(parent), Toolbar(new QToolBar(contentArea())),
      lblVersion(new QLabel(contentArea())), lblSunyi(new QLabel(contentArea())),
      lblAsset(new QLabel(contentArea())), lblAdvise(new QLabel(contentArea())),
      StatusBar(new QStatusBar(contentArea())), imgSplitter(new SplitterHandle(contentArea())),
      picSplitter(new QWidget(contentArea())), WB(new QTextBrowser(contentArea())),
      m_view(std::make_unique<MonthView>(this)), m_monthMenu(new QMenu(this)), m_skinMenu(new QMenu(this))
{
    setObjectName(QStringLiteral("frmMainUI"));
    initHomePage();
    buildToolbar();
    buildPanels();
    buildStatusBar();

    lblSunyi->setObjectName(QStringLiteral("lblSunyi"));
    lblSunyi->setText(QStringLiteral("损益表 Profit and Loss"));
    lblAsset->setObjectName(QStringLiteral("lblAsset"));
    lblAsset->setText(QStringLiteral("资产负债表 Balance Sheet"));
    for (QLabel *heading : {lblSunyi, lblAsset}) {
        heading->setFont(headingFont());
        heading->setIndent(4);
        heading->setMinimumHeight(heading->fontMetrics().height() + 6);
    }
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setText(store::productName());
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblAdvise->setObjectName(QStringLiteral("lblAdvise"));
    lblAdvise->setWordWrap(true);
    lblAdvise->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAdvise->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblAdvise->setFocusPolicy(Qt::TabFocus);
    lblAdvise->setAccessibleName(QStringLiteral("理财建议"));
    lblAdvise->setMargin(6);

    imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter->resize(5, 100);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->setAutoFillBackground(true);
    QPalette barPalette = picSplitter->palette();
    barPalette.setColor(QPalette::Window, QColor(0x60, 0x60, 0x60));
    picSplitter->setPalette(barPalette);
    picSplitter->hide();
    connect(imgSplitter, &SplitterHandle::pressed, this, &frmMainUI::splitterPressed);
    connect(imgSplitter, &SplitterHandle::moved, this, &frmMainUI::splitterMoved);
    connect(imgSplitter, &SplitterHandle::released, this, &frmMainUI::splitterReleased);

    WB->setObjectName(QStringLiteral("WB"));
    WB->setAccessibleName(QStringLiteral("主页 Home"));
    WB->setOpenLinks(false); // the page is the program's own; nothing is fetched

    connect(JSCAPTION1, &skin::JSCAPTION::ChangeColor, this, &frmMainUI::changeColor);
    auto *refreshKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refreshKey, &QShortcut::activated, this, &frmMainUI::RefreshMe);

    initialise();
}

frmMainUI::~frmMainUI()
{
    if (store::modDB::mainWindow() == this)
        store::modDB::setMainWindow(nullptr);
}

void frmMainUI::buildToolbar()
{
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    Toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar->setMovable(false);
    Toolbar->setFloatable(false);
    Toolbar->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    for (const ToolbarButtonText &entry : kButtons) {
        auto *toolButton = new QToolButton(Toolbar);
        const QString key = QString::fromUtf16(entry.key);
        const QString caption = QString::fromUtf16(entry.caption);
        toolButton->setObjectName(key);
        toolButton->setText(caption);
        toolButton->setAccessibleName(caption);
        toolButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        toolButton->setFocusPolicy(Qt::TabFocus);
        if (entry.toolTip)
            toolButton->setToolTip(QString::fromUtf16(entry.toolTip));
        Toolbar->addWidget(toolButton);
        connect(toolButton, &QToolButton::clicked, this, [this, key] { toolbarClick(key); });
        toolButton->installEventFilter(this);
    }
    button(QStringLiteral("refresh"))->setMenu(m_monthMenu);
    button(QStringLiteral("refresh"))->setPopupMode(QToolButton::MenuButtonPopup);
    button(QStringLiteral("chgSkin"))->setMenu(m_skinMenu);
    button(QStringLiteral("chgSkin"))->setPopupMode(QToolButton::MenuButtonPopup);
    m_monthMenu->setObjectName(QStringLiteral("monthMenu"));
    m_skinMenu->setObjectName(QStringLiteral("skinMenu"));
    connect(m_monthMenu, &QMenu::triggered, this, &frmMainUI::monthMenuClick);
    connect(m_skinMenu, &QMenu::triggered, this, &frmMainUI::skinMenuClick);

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

void frmMainUI::buildPanels()
{
    UCLVIncome = new panel::UCLV(&m_view->UCLVIncome(), contentArea());
    UCLVPayout = new panel::UCLV(&m_view->UCLVPayout(), contentArea());
    UCLVAsset = new panel::UCLV(&m_view->UCLVAsset(), contentArea());
    UCLVDebt = new panel::UCLV(&m_view->UCLVDebt(), contentArea());
    UCLVIncome->setObjectName(QStringLiteral("UCLVIncome"));
    UCLVPayout->setObjectName(QStringLiteral("UCLVPayout"));
    UCLVAsset->setObjectName(QStringLiteral("UCLVAsset"));
    UCLVDebt->setObjectName(QStringLiteral("UCLVDebt"));
    for (panel::UCLV *panel : {UCLVIncome, UCLVPayout, UCLVAsset, UCLVDebt}) {
        connect(panel, &panel::UCLV::Click, this, &frmMainUI::itemClicked);
        connect(panel, &panel::UCLV::DoubleClick, this, &frmMainUI::itemDoubleClicked);
    }
}

void frmMainUI::buildStatusBar()
{
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    auto *first = new QLabel(StatusBar);
    first->setAccessibleName(QStringLiteral("状态 Status"));
    StatusBar->addWidget(first, 1);
    m_statusPanels.push_back(first);
    const QString fixedTexts[] = {QStringLiteral("CAPS"), QStringLiteral("NUM"), QStringLiteral("INS"),
                                  store::today().toString(QStringLiteral("yyyy-MM-dd"))};
    for (int panel = 0; panel < 4; ++panel) {
        auto *label = new QLabel(fixedTexts[panel], StatusBar);
        label->setFixedWidth(twipsToPixels(kStatusPanelTwips[panel]));
        label->setAlignment(Qt::AlignCenter);
        StatusBar->addPermanentWidget(label);
        m_statusPanels.push_back(label);
    }
}

void frmMainUI::initialise()
{
    m_initialised = true;
    try {
        lblVersion->setText(store::productName() + QStringLiteral(" Ver") + QStringLiteral(ZAMBREL_VERSION));
        if (m_hasBackColour)
            changeColor(skin::fromQColor(lblSunyi->palette().color(QPalette::WindowText)), m_backColour);
        addSkinFiles();
        listMonths();

        QRect screen(0, 0, 1024, 768);
        if (QScreen *primary = QGuiApplication::primaryScreen())
            screen = primary->availableGeometry();
        const int width = screen.width();
        const int height = screen.height() * 9 / 10;
        setMinimumSize(ceilPixels(kMinWindowWidth), ceilPixels(kMinWindowHeight));
        setGeometry(screen.x() + (screen.width() - width) / 2, screen.y() + (screen.height() - height) / 2,
                    width, height);
        SizeControls(pixelsToTwips(width) - kSplitterMargin);
        WB->setSource(QUrl(QStringLiteral("qrc:/zambrel/home.html")));
    } catch (const std::exception &error) {
        const auto *dbError = dynamic_cast<const store::DbError *>(&error);
        store::showMessage(dbError ? dbError->description() : QString::fromUtf8(error.what()),
                           store::vbCritical, QStringLiteral("致命错误"));
        QMetaObject::invokeMethod(this, &frmMainUI::programEnding, Qt::QueuedConnection);
    }
}

void frmMainUI::load()
{
    lblSunyi->setText(lblSunyi->text() + QStringLiteral(" 账本：") + store::modDB::ledgerPath());
    applySkin(store::modDB::skinPath());
    if (!m_initialised || !store::modDB::connection())
        initialise();
    if (!JSCAPTION1->isMaximisedByBar()) {
        JSCAPTION1->maximise();
        RefreshMe();
    }
}

void frmMainUI::initPic()
{
    for (int index = 1; index <= kToolbarButtons; ++index) {
        const QImage clear = whiteToTransparent(drawToolbarImage(index));
        button(QString::fromUtf16(kButtons[index - 1].key))->setIcon(QIcon(QPixmap::fromImage(clear)));
    }
    QCoreApplication::processEvents();
    SizeControls(pixelsToTwips(imgSplitter->x() + contentArea()->x()));
}

void frmMainUI::RefreshMe()
{
    if (!m_view)
        return;
    m_view->RefreshMe();
    QCoreApplication::processEvents();
}

void frmMainUI::listMonths()
{
    if (!m_view)
        return;
    for (const QString &month : newestMonths()) {
        const MenuEntry entry = storedMonthEntry(month);
        if (!appendMonthEntry(entry.key, entry.caption))
            return; // a key already in the menu ends the list
    }
}

bool frmMainUI::appendMonthEntry(const QString &key, const QString &caption)
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

void frmMainUI::addSkinFiles()
{
    for (const QString &caption : skinMenuCaptions(store::skinsFolder()))
        m_skinMenu->addAction(caption);
}

void frmMainUI::applySkin(const QString &path)
{
    const QString skinPath = path.isEmpty() ? store::defaultSkinPath() : path;
    skin::SkinWindow(this, skinPath);
    skin::SkinWindow(skin::messageBox(), skinPath);
    for (const QPointer<skin::SkinnedWindow> &window : m_secondary) {
        if (window)
            skin::SkinWindow(window.data(), skinPath);
    }
}

void frmMainUI::addSecondaryWindow(skin::SkinnedWindow *window)
{
    m_secondary.emplace_back(window);
}

void frmMainUI::setItemCommandsAvailable(bool available)
{
    m_itemCommands = available;
    button(QStringLiteral("add"))->setEnabled(available);
    if (!available) {
        button(QStringLiteral("update"))->setEnabled(false);
        button(QStringLiteral("delete"))->setEnabled(false);
    }
}

QToolButton *frmMainUI::button(const QString &key) const
{
    return Toolbar->findChild<QToolButton *>(key, Qt::FindDirectChildrenOnly);
}

QString frmMainUI::statusPanelText(int panel) const
{
    if (panel < 1 || panel > static_cast<int>(m_statusPanels.size()))
        return {};
    return m_statusPanels[panel - 1]->text();
}

void frmMainUI::setStatusPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > static_cast<int>(m_statusPanels.size()))
        return;
    m_statusPanels[panel - 1]->setText(text);
    // The month's status line is cut off in a narrow window; its tip keeps
    // the whole of it.
    if (panel == 1)
        m_statusPanels[0]->setToolTip(text);
}

void frmMainUI::toolbarClick(const QString &key)
{
    if (key == QLatin1String("refresh")) {
        RefreshMe();
    } else if (key == QLatin1String("add") || key == QLatin1String("update") ||
               key == QLatin1String("delete")) {
        if (m_itemCommands)
            Q_EMIT itemCommandRequested(key);
    }
    // chgSkin acts only through its menu; Graph comes with the trend graph.
}

void frmMainUI::monthMenuClick(QAction *entry)
{
    if (!entry || !m_view)
        return;
    try {
        const QString key = entry->data().toString();
        if (key.startsWith(QLatin1Char('M'))) {
            // Chosen again or not, the month is reloaded.
            m_view->setCurrentMonth(entry->text());
            setRefreshCaption(entry->text());
            RefreshMe();
        }
    } catch (const store::DbError &error) {
        store::showMessage(error.description(), store::vbOKOnly, QStringLiteral("出错了"));
    }
}

void frmMainUI::skinMenuClick(QAction *entry)
{
    if (!entry)
        return;
    const QString path = skinPathForCaption(store::skinsFolder(), entry->text());
    store::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"), path);
    store::modDB::setSkinPath(path);
    applySkin(path);
}

void frmMainUI::changeColor(skin::ColourValue first, skin::ColourValue second)
{
    const QColor text = skin::toQColor(first);
    const QColor background = skin::toQColor(second);
    paintLabel(lblSunyi, text, background);
    paintLabel(lblAsset, text, background);
    for (QWidget *bar : {static_cast<QWidget *>(Toolbar), static_cast<QWidget *>(StatusBar)}) {
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

void frmMainUI::setWindowEnabled(bool enabled)
{
    setEnabled(enabled);
}

void frmMainUI::setWindowCaption(const QString &caption)
{
    setWindowTitle(caption);
    JSCAPTION1->setTitle(caption);
    JSCAPTION1->REDRAW();
}

void frmMainUI::addMonthMenuEntry(const QString &key, const QString &caption)
{
    appendMonthEntry(key, caption);
}

void frmMainUI::setRefreshCaption(const QString &month)
{
    button(QStringLiteral("refresh"))->setText(month);
}

void frmMainUI::setToolbarButtonEnabled(ToolbarButton which, bool enabled)
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

void frmMainUI::setAdvice(const QString &advice)
{
    QString text = advice;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblAdvise->setText(text.trimmed());
    SizeControls(pixelsToTwips(imgSplitter->x() + contentArea()->x()));
}

void frmMainUI::resizeEvent(QResizeEvent *event)
{
    skin::SkinnedWindow::resizeEvent(event);
    SizeControls(pixelsToTwips(imgSplitter->x() + contentArea()->x()));
}

void frmMainUI::place(QWidget *widget, const QRect &twipsRect)
{
    widget->setGeometry(toPixels(twipsRect).translated(-contentArea()->pos()));
}

void frmMainUI::SizeControls(double x)
{
    ShellMetrics metrics;
    metrics.window = QSize(pixelsToTwips(width()), pixelsToTwips(height()));
    metrics.style2 = JSCAPTION1->Style2();
    metrics.captionTop = pixelsToTwips(JSCAPTION1->y());
    metrics.captionHeight = pixelsToTwips(JSCAPTION1->height());
    metrics.border1Left = pixelsToTwips(JSBORDER1->x());
    metrics.border1Width = pixelsToTwips(JSBORDER1->width());
    metrics.border3Height = pixelsToTwips(JSBORDER3->height());
    metrics.toolbarHeight = pixelsToTwips(toolbarHeight(Toolbar));
    metrics.lblSunyiHeight = pixelsToTwips(lblSunyi->minimumHeight());
    metrics.lblAssetHeight = pixelsToTwips(lblAsset->minimumHeight());
    metrics.statusBarHeight = pixelsToTwips(StatusBar->sizeHint().height());
    metrics.splitterWidth = pixelsToTwips(imgSplitter->width());
    metrics.statusPanelsWidth = 0;
    for (int panel : kStatusPanelTwips)
        metrics.statusPanelsWidth += panel;

    const ShellLayout layout = ledger::SizeControls(metrics, x);
    if (layout.resizeTo) {
        resize(ceilPixels(layout.resizeTo->width()), ceilPixels(layout.resizeTo->height()));
        return;
    }
    for (skin::JSBORDER *border : {JSBORDER1, JSBORDER2, JSBORDER3})
        border->setVisible(layout.bordersVisible);
    if (layout.region)
        setMask(QRegion(*layout.region));
    else
        clearMask();

    const int toolbarWidth = qMax(twipsToPixels(kToolbarWidthTwips), Toolbar->sizeHint().width());
    const QPoint toolbarAt = QPoint(twipsToPixels(layout.toolbar.x()), twipsToPixels(layout.toolbar.y()));
    Toolbar->setGeometry(
        QRect(toolbarAt - contentArea()->pos(), QSize(toolbarWidth, toolbarHeight(Toolbar))));
    lblVersion->setGeometry(Toolbar->geometry().right() + 8, Toolbar->y(),
                            qMax(0, contentArea()->width() - Toolbar->geometry().right() - 16),
                            Toolbar->height());
    place(lblSunyi, layout.lblSunyi);
    place(UCLVIncome, layout.UCLVIncome);
    place(UCLVPayout, layout.UCLVPayout);
    place(lblAsset, layout.lblAsset);
    place(UCLVAsset, layout.UCLVAsset);
    place(UCLVDebt, layout.UCLVDebt);
    place(StatusBar, layout.StatusBar);
    place(imgSplitter, layout.imgSplitter);
    picSplitter->resize(picSplitter->width(), imgSplitter->height());

    // The right-hand pane: the written assessment over the home page.
    const QRect pane = toPixels(layout.WB).translated(-contentArea()->pos());
    const int adviceHeight = lblAdvise->text().isEmpty()
                                 ? 0
                                 : qMin(pane.height() * 2 / 5, lblAdvise->heightForWidth(pane.width()));
    lblAdvise->setGeometry(pane.x(), pane.y(), pane.width(), adviceHeight);
    WB->setGeometry(pane.x(), pane.y() + adviceHeight, pane.width(), pane.height() - adviceHeight);
}

void frmMainUI::splitterPressed()
{
    picSplitter->setGeometry(imgSplitter->x(), imgSplitter->y(), qMax(1, imgSplitter->width() / 2),
                             qMax(1, imgSplitter->height() - twipsToPixels(20)));
    picSplitter->show();
    picSplitter->raise();
    m_splitterMoving = true;
}

void frmMainUI::splitterMoved(int x)
{
    if (!m_splitterMoving)
        return;
    const int offset = contentArea()->x();
    const int position = pixelsToTwips(imgSplitter->x() + offset + x);
    const int left = clampSplitter(position, pixelsToTwips(width()));
    picSplitter->move(twipsToPixels(left) - offset, picSplitter->y());
}

void frmMainUI::splitterReleased()
{
    if (!m_splitterMoving)
        return;
    SizeControls(pixelsToTwips(picSplitter->x() + contentArea()->x()));
    picSplitter->hide();
    m_splitterMoving = false;
}

bool frmMainUI::eventFilter(QObject *watched, QEvent *event)
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

void frmMainUI::closeEvent(QCloseEvent *event)
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

void frmMainUI::releaseLedger()
{
    m_view.reset();
    if (const std::shared_ptr<store::Connection> connection = store::modDB::connection())
        connection->close();
    store::modDB::setConnection(nullptr);
}

} // namespace zambrel::ledger
