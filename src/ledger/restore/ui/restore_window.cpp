#include "restore_window.h"

#include "base/message.h"
#include "ledger/restore/restore_ledger.h"
#include "panel/ui/open_file_dialog.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "skin/list_label.h"
#include "store/db_error.h"
#include "store/ledger.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <QTreeWidget>

#include <algorithm>

namespace zambrel::ledger {
namespace {

const QString kCaption = QStringLiteral("恢复账本 Restore");
constexpr QSize kContentSize(720, 420);
constexpr int kCellPadding = 16; ///< a list cell's margins beside its text

QString sizeText(qint64 bytes)
{
    return QLocale(QLocale::English).formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

RestoreWindow::RestoreWindow(store::Ledger &ledger, Restored restored, QWidget *parent)
    : SkinnedWindow(parent), listLabel(new QLabel(QStringLiteral("备份(&B):"), contentArea())),
      backupList(new QTreeWidget(contentArea())), previewLabel(new QLabel(contentArea())),
      passwordLabel(new QLabel(QStringLiteral("备份密码(&P):"), contentArea())),
      passwordBox(new QLineEdit(contentArea())),
      browseButton(new skin::FlatButton(QStringLiteral("浏览 Browse…"), contentArea())),
      restoreButton(new skin::FlatButton(QStringLiteral("恢复 Restore"), contentArea())),
      closeButton(new skin::FlatButton(QStringLiteral("关闭 Close"), contentArea())), m_ledger(ledger),
      m_restored(std::move(restored))
{
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(kCaption);
    captionBar->setTitle(kCaption);
    captionBar->setWindowStyle(3); // fixed size: no maximise

    listLabel->setObjectName(QStringLiteral("lblBackups"));
    listLabel->setGeometry(16, 12, 80, 22);
    skin::nameListAfter(backupList, listLabel);
    backupList->setObjectName(QStringLiteral("lvBackups"));
    backupList->setGeometry(16, 36, 688, 200);
    backupList->setRootIsDecorated(false);
    backupList->setAllColumnsShowFocus(true);
    backupList->setHeaderLabels({QStringLiteral("日期时间 Date and time"), QStringLiteral("大小 Size"),
                                 QStringLiteral("最新月份 Newest month"), QStringLiteral("项目 Items"),
                                 QStringLiteral("检查 Check"), QStringLiteral("文件 File")});
    int widths[] = {140, 70, 140, 70, 110};
    // The check column shows every check whole, "检查中 Checking…" and
    // "密码不同 Other password" among them.
    for (const BackupCheck check : {BackupCheck::Ok, BackupCheck::OtherPassword, BackupCheck::Damaged,
                                    BackupCheck::Checking, BackupCheck::Newer})
        widths[4] = std::max(widths[4], backupList->fontMetrics().horizontalAdvance(backupCheckText(check)) +
                                            kCellPadding);
    // Every heading shows whole as well.
    for (int column = 0; column < 5; ++column)
        backupList->setColumnWidth(column,
                                   std::max(widths[column], backupList->header()->sectionSizeHint(column)));
    // The file column is as wide as its longest path (reload() sets it); the
    // list scrolls to it.
    backupList->header()->setStretchLastSection(false);
    connect(backupList, &QTreeWidget::currentItemChanged, this, &RestoreWindow::showChosen);
    connect(&m_checks, &BackupChecks::examined, this, &RestoreWindow::checked);
    connect(&m_checks, &BackupChecks::finished, this, &RestoreWindow::checksDone);

    previewLabel->setObjectName(QStringLiteral("lblPreview"));
    previewLabel->setGeometry(16, 244, 688, 100);
    previewLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    previewLabel->setWordWrap(true);
    previewLabel->setTextFormat(Qt::PlainText);
    previewLabel->setAccessibleDescription(
        QStringLiteral("所选备份最新月份的合计 The chosen backup's newest month"));

    passwordLabel->setObjectName(QStringLiteral("lblBackupPWD"));
    passwordLabel->setGeometry(16, 352, 104, 26);
    passwordLabel->setBuddy(passwordBox);
    passwordBox->setObjectName(QStringLiteral("txtBackupPWD"));
    passwordBox->setEchoMode(QLineEdit::Password);
    passwordBox->setGeometry(128, 352, 176, 26);
    connect(passwordBox, &QLineEdit::returnPressed, this, &RestoreWindow::checkPassword);

    browseButton->setObjectName(QStringLiteral("cmdBrowse"));
    browseButton->setGeometry(388, 384, 100, 28);
    restoreButton->setObjectName(QStringLiteral("cmdRestore"));
    restoreButton->setGeometry(496, 384, 100, 28);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    closeButton->setGeometry(604, 384, 100, 28);
    connect(browseButton, &skin::FlatButton::clicked, this, &RestoreWindow::browse);
    connect(restoreButton, &skin::FlatButton::clicked, this, &RestoreWindow::restoreChosen);
    connect(closeButton, &skin::FlatButton::clicked, this, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    setTabOrder(backupList, passwordBox);
    setTabOrder(passwordBox, browseButton);
    setTabOrder(browseButton, restoreButton);
    setTabOrder(restoreButton, closeButton);

    resizeContent(kContentSize);
    setFixedSize(size());
}

RestoreWindow::~RestoreWindow() = default;

void RestoreWindow::reload(const QString &chosenPath)
{
    m_entries = findBackups(m_ledger, m_added);
    const QSignalBlocker quiet(backupList);
    backupList->clear();
    int current = 0;
    for (std::size_t at = 0; at < m_entries.size(); ++at) {
        new QTreeWidgetItem(backupList);
        showRow(at);
        if (m_entries[at].path == chosenPath)
            current = int(at);
    }
    // Once for the listing: a path does not change with its check.
    backupList->resizeColumnToContents(5);
    if (!m_entries.empty())
        backupList->setCurrentItem(backupList->topLevelItem(current));
    showChosen();
    m_checks.start(m_ledger.copyOpener(), m_entries, m_passwords);
}

void RestoreWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        m_checks.stop();
    SkinnedWindow::hideEvent(event);
}

void RestoreWindow::showRow(std::size_t at)
{
    const BackupEntry &entry = m_entries[at];
    QTreeWidgetItem *row = backupList->topLevelItem(int(at));
    const QStringList texts{entry.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                            sizeText(entry.size),
                            entry.newestMonth,
                            entry.newestMonth.isEmpty() ? QString() : QString::number(entry.newestMonthItems),
                            backupCheckText(entry.check),
                            QDir::toNativeSeparators(entry.path)};
    for (int column = 0; column < texts.size(); ++column)
        row->setText(column, texts[column]);
    row->setToolTip(4, entry.problem);
    row->setToolTip(5, texts[5]); // the whole path
}

void RestoreWindow::checked(std::size_t at, const BackupEntry &entry)
{
    m_entries[at] = entry;
    showRow(at);
    if (backupList->indexOfTopLevelItem(backupList->currentItem()) == int(at))
        showChosen();
}

const BackupEntry *RestoreWindow::chosen() const
{
    const int row = backupList->indexOfTopLevelItem(backupList->currentItem());
    return row >= 0 && std::size_t(row) < m_entries.size() ? &m_entries[std::size_t(row)] : nullptr;
}

void RestoreWindow::showChosen()
{
    const BackupEntry *entry = chosen();
    const bool otherPassword = entry && entry->check == BackupCheck::OtherPassword;
    passwordBox->setEnabled(otherPassword);
    passwordLabel->setEnabled(otherPassword);
    restoreButton->setEnabled(entry && entry->check == BackupCheck::Ok);
    if (!entry) {
        previewLabel->setText(QStringLiteral("没有找到备份 No backups found"));
        return;
    }
    if (entry->check == BackupCheck::Checking) {
        previewLabel->setText(backupCheckText(entry->check));
        return;
    }
    if (entry->check != BackupCheck::Ok) {
        previewLabel->setText(backupCheckText(entry->check) + u'\n' + entry->problem);
        return;
    }
    try {
        const std::optional<QString> password =
            m_passwords.contains(entry->path) ? std::optional(m_passwords.value(entry->path)) : std::nullopt;
        const BackupPreview preview = previewBackup(m_ledger, entry->path, password);
        if (preview.month.isEmpty()) {
            previewLabel->setText(QStringLiteral("这个备份里没有月份 This backup holds no month"));
            return;
        }
        QStringList lines{preview.month};
        for (qsizetype at = 0; at < preview.totalLines.size(); at += 2)
            lines << preview.totalLines.mid(at, 2).join(QStringLiteral("      "));
        lines << preview.statusLine;
        previewLabel->setText(lines.join(u'\n'));
    } catch (const store::DbError &error) {
        previewLabel->setText(error.description());
    }
}

void RestoreWindow::browse()
{
    const QString file =
        store::openFileDialog(this, QStringLiteral("浏览 Browse…"), store::ledgerFileFilter());
    if (file.isEmpty())
        return;
    if (!m_added.contains(file))
        m_added << file;
    reload(QFileInfo(file).absoluteFilePath());
}

void RestoreWindow::checkPassword()
{
    const BackupEntry *entry = chosen();
    if (!entry || entry->check != BackupCheck::OtherPassword)
        return;
    const QString path = entry->path;
    BackupEntry again = *entry;
    examineBackup(*m_ledger.copyOpener(), again, passwordBox->text());
    if (again.check == BackupCheck::OtherPassword) {
        base::showMessage(again.problem, base::MessageButtons::Ok, base::MessageIcon::Information, kCaption);
        passwordBox->selectAll();
        return;
    }
    m_passwords.insert(path, passwordBox->text());
    passwordBox->clear();
    reload(path);
}

void RestoreWindow::restoreChosen()
{
    const BackupEntry *entry = chosen();
    if (!entry || entry->check != BackupCheck::Ok)
        return;
    const BackupEntry backup = *entry;
    // The books are replaced: Enter alone must not do it.
    if (base::showMessage({restoreQuestion(backup), base::MessageButtons::YesNo, base::MessageIcon::Question,
                           kCaption, true}) != base::MessageAnswer::Yes)
        return;
    // The answer was given for the books the row and the preview show.
    if (!stillAsListed(backup)) {
        base::showMessage(
            QStringLiteral("备份在列出之后被改写过，已重新列出，请再看一遍 The backup was written "
                           "again after it was listed. The list is read again: look at it once "
                           "more."),
            base::MessageButtons::Ok, base::MessageIcon::Information, kCaption);
        reload(backup.path);
        return;
    }
    QString copy;
    try {
        const std::optional<QString> password =
            m_passwords.contains(backup.path) ? std::optional(m_passwords.value(backup.path)) : std::nullopt;
        copy = restoreLedger(m_ledger, backup.path, password);
    } catch (const store::DbError &error) {
        // Restore is this window's own action: its one catch.
        base::showMessage(error.description(), base::MessageButtons::Ok, base::MessageIcon::Critical,
                          QStringLiteral("出错了"));
        reload(backup.path);
        return;
    }
    if (m_restored)
        m_restored(backup.path, copy);
    reload(backup.path);
}

} // namespace zambrel::ledger
