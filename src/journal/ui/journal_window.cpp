#include "journal_window.h"

#include "base/message.h"
#include "host/error_report.h"

#include "skin/caption_bar.h"
#include "skin/flat_button.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QScreen>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace zambrel::journal {
namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kSideWidth = 210;
constexpr int kButtonHeight = 28;
const QSize kContentSize(960, 600);

skin::FlatButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new skin::FlatButton(caption, parent);
    button->setObjectName(name);
    button->setFixedHeight(kButtonHeight);
    return button;
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace

JournalWindow::JournalWindow(store::Ledger &ledger, QWidget *parent)
    : SkinnedWindow(parent), searchBox(new QLineEdit(contentArea())), foundLabel(new QLabel(contentArea())),
      treeOrFound(new QStackedWidget(contentArea())), dateTree(new QTreeWidget(treeOrFound)),
      foundList(new QListWidget(treeOrFound)),
      newButton(makeButton(QStringLiteral("cmdNew"), QStringLiteral("新一天 New"), contentArea())),
      refreshButton(makeButton(QStringLiteral("cmdRefresh"), QStringLiteral("刷   新 Ref"), contentArea())),
      okButton(makeButton(QStringLiteral("OKButton"), QStringLiteral("确   定 OK"), contentArea())),
      closeButton(makeButton(QStringLiteral("cmdClose"), QStringLiteral("关 闭 Close"), contentArea())),
      m_book(ledger)
{
    setObjectName(QStringLiteral("frmLog"));
    buildControls();
    bindBook();
    bindControls();
    resizeContent(kContentSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    failed([this] { m_book.load(); });
}

JournalWindow::~JournalWindow() = default;

void JournalWindow::buildControls()
{
    auto *boxes = new QGridLayout;
    boxes->setSpacing(6);
    for (int field = 0; field < kFieldCount; ++field) {
        const QString &caption = kFieldCaptions[std::size_t(field)];
        auto *frame = new QGroupBox(caption, contentArea());
        frame->setObjectName(QStringLiteral("Frame1_%1").arg(field));
        auto *box = new JournalTextBox(frame);
        box->setObjectName(QStringLiteral("Text1_%1").arg(field));
        box->setAccessibleName(caption);
        box->setTabChangesFocus(true);
        box->installEventFilter(this);
        auto *inFrame = new QVBoxLayout(frame);
        inFrame->setContentsMargins(6, 4, 6, 6);
        inFrame->addWidget(box);
        boxes->addWidget(frame, field / 3, field % 3);
        fieldFrames[std::size_t(field)] = frame;
        fieldBoxes[std::size_t(field)] = box;
    }
    for (int line = 0; line < 3; ++line) {
        boxes->setRowStretch(line, 1);
        boxes->setColumnStretch(line, 1);
    }

    searchBox->setObjectName(QStringLiteral("txtSearch"));
    searchBox->setPlaceholderText(QStringLiteral("搜索 Search"));
    searchBox->setAccessibleName(QStringLiteral("搜索 Search"));
    searchBox->setClearButtonEnabled(true);
    searchBox->installEventFilter(this);
    foundLabel->setObjectName(QStringLiteral("lblFound"));
    foundLabel->setVisible(false);

    dateTree->setObjectName(QStringLiteral("tv1"));
    dateTree->setAccessibleName(QStringLiteral("日志"));
    dateTree->setHeaderHidden(true);
    dateTree->setColumnCount(1);
    dateTree->setRootIsDecorated(true);
    dateTree->setUniformRowHeights(true);
    dateTree->setExpandsOnDoubleClick(false);
    dateTree->installEventFilter(this);
    // The branch arrows are drawn in the window-text colour, which a dark
    // skin makes light; on the tree's own light ground they take its text
    // colour instead.
    QPalette treeColours = dateTree->palette();
    treeColours.setColor(QPalette::WindowText, treeColours.color(QPalette::Text));
    dateTree->setPalette(treeColours);
    foundList->setObjectName(QStringLiteral("lstFound"));
    foundList->setAccessibleName(QStringLiteral("搜索结果 Found"));
    foundList->installEventFilter(this);
    treeOrFound->addWidget(dateTree);
    treeOrFound->addWidget(foundList);

    auto *buttons = new QGridLayout;
    buttons->setSpacing(6);
    buttons->addWidget(newButton, 0, 0);
    buttons->addWidget(refreshButton, 0, 1);
    buttons->addWidget(okButton, 1, 0);
    buttons->addWidget(closeButton, 1, 1);

    auto *side = new QVBoxLayout;
    side->setSpacing(6);
    side->addWidget(searchBox);
    side->addWidget(foundLabel);
    side->addWidget(treeOrFound, 1);
    side->addLayout(buttons);

    auto *whole = new QHBoxLayout(contentArea());
    whole->setContentsMargins(8, 8, 8, 8);
    whole->setSpacing(8);
    whole->addLayout(boxes, 1);
    auto *sideHolder = new QWidget(contentArea());
    sideHolder->setFixedWidth(kSideWidth);
    sideHolder->setLayout(side);
    side->setContentsMargins(0, 6, 0, 0);
    whole->addWidget(sideHolder);

    // Keyboard order: the boxes row by row, then the search, the tree or the
    // found days, then the buttons.
    QWidgetList order;
    for (JournalTextBox *box : fieldBoxes)
        order << box;
    order << searchBox << dateTree << foundList << newButton << refreshButton << okButton << closeButton;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void JournalWindow::bindBook()
{
    connect(&m_book, &JournalBook::treeCleared, this, [this] {
        const bool wasShowing = std::exchange(m_showing, true);
        dateTree->clear();
        m_items.clear();
        m_showing = wasShowing;
    });
    connect(&m_book, &JournalBook::nodeAdded, this, &JournalWindow::addNodeItem);
    connect(&m_book, &JournalBook::nodeChanged, this, &JournalWindow::showNodeState);
    connect(&m_book, &JournalBook::selectionChanged, this, &JournalWindow::selectNodeItem);
    connect(&m_book, &JournalBook::pageChanged, this, &JournalWindow::showPage);
    connect(&m_book, &JournalBook::searchChanged, this, &JournalWindow::showSearch);
}

void JournalWindow::bindControls()
{
    for (int field = 0; field < kFieldCount; ++field) {
        JournalTextBox *box = fieldBoxes[std::size_t(field)];
        connect(box, &QPlainTextEdit::textChanged, this, [this, field, box] {
            if (!m_showing)
                m_book.setText(field, box->text());
        });
    }
    connect(dateTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { clickItem(item); });
    connect(dateTree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        if (!m_showing)
            failed([this, key = item->data(0, kKeyRole).toString()] { m_book.expandNode(key); });
    });
    connect(dateTree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *item) {
        if (!m_showing)
            m_book.collapseNode(item->data(0, kKeyRole).toString());
    });
    connect(searchBox, &QLineEdit::returnPressed, this,
            [this] { failed([this] { m_book.search(searchBox->text()); }); });
    const auto openFound = [this](QListWidgetItem *item) {
        if (!item)
            return;
        // Taken first: a save on the way finds the days again and the list
        // makes new items.
        const QString date = item->text();
        if (!settleChanges() || failed([this, &date] { m_book.openFound(date); }))
            selectNodeItem(m_book.selectedKey());
    };
    connect(foundList, &QListWidget::itemClicked, this, openFound);
    connect(foundList, &QListWidget::itemActivated, this, openFound);
    connect(newButton, &skin::FlatButton::clicked, this, [this] { m_book.newDay(); });
    connect(refreshButton, &skin::FlatButton::clicked, this, [this] {
        if (settleChanges())
            reload();
    });
    connect(okButton, &skin::FlatButton::clicked, this, &JournalWindow::save);
    connect(closeButton, &skin::FlatButton::clicked, this, &JournalWindow::closeClicked);
}

void JournalWindow::showModal()
{
    exec();
}

void JournalWindow::reload()
{
    failed([this] { m_book.load(); });
}

QTreeWidgetItem *JournalWindow::nodeItem(const QString &key) const
{
    return m_items.value(key);
}

void JournalWindow::showPage()
{
    const bool wasShowing = std::exchange(m_showing, true);
    for (int field = 0; field < kFieldCount; ++field) {
        JournalTextBox *box = fieldBoxes[std::size_t(field)];
        if (box->text() != m_book.text(field))
            box->setText(m_book.text(field));
    }
    setWindowTitle(m_book.title());
    captionBar->setTitle(m_book.title());
    captionBar->redraw();
    m_showing = wasShowing;
}

void JournalWindow::showSearch()
{
    foundList->clear();
    foundList->addItems(m_book.searchResults());
    foundLabel->setText(QStringLiteral("找到 %1 天").arg(m_book.searchResults().size()));
    foundLabel->setVisible(m_book.isSearching());
    if (m_book.isSearching())
        treeOrFound->setCurrentWidget(foundList);
    else
        treeOrFound->setCurrentWidget(dateTree);
    if (!m_book.isSearching() && !searchBox->text().isEmpty())
        searchBox->clear();
}

void JournalWindow::addNodeItem(const QString &key, int row)
{
    const JournalNode *node = m_book.tree().node(key);
    if (!node)
        return;
    auto *item = new QTreeWidgetItem(QStringList{node->text});
    item->setData(0, kKeyRole, key);
    item->setToolTip(0, dateOfKey(key));
    const bool wasShowing = std::exchange(m_showing, true);
    if (QTreeWidgetItem *parent = m_items.value(node->parentKey))
        parent->insertChild(row, item);
    else
        dateTree->insertTopLevelItem(row, item);
    m_items.insert(key, item);
    m_showing = wasShowing;
    showNodeState(key);
    showNodeState(node->parentKey); // it may open now that it has a child
}

void JournalWindow::showNodeState(const QString &key)
{
    const JournalNode *node = m_book.tree().node(key);
    QTreeWidgetItem *item = m_items.value(key);
    if (!node || !item)
        return;
    const bool wasShowing = std::exchange(m_showing, true);
    // A year or month whose days were never read shows that it can open.
    const bool unread = !node->loaded && levelOfKey(key) != NodeLevel::Day;
    item->setChildIndicatorPolicy(unread ? QTreeWidgetItem::ShowIndicator
                                         : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    // An expanded node with nothing under it yet keeps its arrow showing.
    item->setExpanded(node->expanded && item->childCount() > 0);
    m_showing = wasShowing;
}

void JournalWindow::selectNodeItem(const QString &key)
{
    const bool wasShowing = std::exchange(m_showing, true);
    if (QTreeWidgetItem *item = m_items.value(key)) {
        dateTree->setCurrentItem(item);
        dateTree->scrollToItem(item);
    } else {
        dateTree->setCurrentItem(nullptr);
        dateTree->clearSelection();
    }
    m_showing = wasShowing;
}

void JournalWindow::clickItem(QTreeWidgetItem *item)
{
    if (!item || m_showing)
        return;
    const QString key = item->data(0, kKeyRole).toString();
    // The tree's own selection moved with the click: a stay or a failure
    // puts it back.
    if ((m_book.clickOpensPage(key) && !settleChanges()) || failed([this, key] { m_book.clickNode(key); }))
        selectNodeItem(m_book.selectedKey());
}

bool JournalWindow::failed(const std::function<void()> &step)
{
    return host::runReported(host::ErrorRoad::Query, step).has_value();
}

bool JournalWindow::save()
{
    bool saved = false;
    if (failed([this, &saved] { saved = m_book.save(); }) || !saved)
        return false;
    base::showMessage(savedNotice(m_book.currentDate()));
    // What was found may have changed with this page.
    failed([this] { m_book.searchAgain(); });
    return true;
}

bool JournalWindow::settleChanges()
{
    if (!m_book.isModified())
        return true;
    switch (base::showMessage(unsavedQuestion())) {
    case base::MessageAnswer::Yes:
        return save();
    case base::MessageAnswer::No:
        return true;
    case base::MessageAnswer::Cancel:
        break;
    }
    return false;
}

void JournalWindow::closeClicked()
{
    if (!settleChanges())
        return;
    m_book.close();
    hide();
}

void JournalWindow::closeEvent(QCloseEvent *event)
{
    // The caption bar's close takes the same road as "关 闭 Close": the
    // window is hidden, never destroyed, and may stay for unsaved text.
    if (!settleChanges()) {
        event->ignore();
        return;
    }
    m_book.close();
    event->accept();
}

bool JournalWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // Moving into a box by the keyboard selects its text, so that typing
        // replaces it; coming back to the window or from a message must not,
        // or the next key would replace a page's text unseen.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                reason == Qt::ShortcutFocusReason;
        for (JournalTextBox *box : fieldBoxes) {
            if (watched == box && byKeyboard)
                box->selectAll();
        }
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == dateTree && isEnterKey(key)) {
            clickItem(dateTree->currentItem());
            return true;
        }
        if ((watched == searchBox || watched == foundList) && key == Qt::Key_Escape) {
            m_book.clearSearch();
            searchBox->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return SkinnedWindow::eventFilter(watched, event);
}

} // namespace zambrel::journal
