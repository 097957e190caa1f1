#pragma once

#include "import/bill_preview.h"
#include "skin/skinned_window.h"

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace zambrel::skin {
class FlatButton;
}
namespace zambrel::store {
class Ledger;
}

namespace zambrel::bills {

/// The window "导入账单 Import": the bill file (`txtBillFile`, chosen with
/// "浏览 Browse…" `cmdBrowse`), its transactions (`lvTransactions`: date,
/// counterparty, description, amount, month, item or "未归类 Unassigned",
/// state; ticked rows are imported, duplicates and skipped rows start
/// unticked, skipped rows greyed), the chosen row's item (`cboItem`) and
/// "记住规则 Remember" (`cmdRemember`), what will be added per month and item
/// (`lvSummary`), the rows that could not be read (`lblProblems`), and
/// "导入 Import" (`cmdImport`: writes the ticked rows as one step) and "关闭
/// Close" (`cmdClose`, or Escape). A text that is no payment app's bill is
/// read as a bank statement through the column mapping of its source
/// (`lblSource` names it); "列对应 Mapping…" (`cmdMapping`) changes it, and a
/// statement no kept mapping reads is offered one. Failures are shown by the
/// message routine; the window stays open.
class ImportWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    /// Hears a finished import: the newest month written and how many
    /// transactions; no month and 0 when only remembered rules were written.
    using Imported = std::function<void(const QString &month, int transactions)>;

    /// `ledger` must outlive the window.
    ImportWindow(store::Ledger &ledger, Imported imported, QWidget *parent = nullptr);
    ~ImportWindow() override;

    /// Reads `path` and previews it; false (and a message shown) when it
    /// cannot be read.
    bool openBill(const QString &path);
    const std::optional<BillPreview> &preview() const { return m_preview; }

    /// The buttons' actions.
    void browse();
    void rememberRule();
    void importTicked();
    /// Sets up the column mapping of the open bank statement's source, and
    /// reads the statement through it.
    void changeMapping();

    QLabel *const fileLabel;
    QLineEdit *const fileBox;
    skin::FlatButton *const browseButton;
    QLabel *const listLabel;
    QLabel *const sourceLabel;
    QTreeWidget *const transactionList;
    QLabel *const itemLabel;
    QComboBox *const itemBox;
    skin::FlatButton *const rememberButton;
    skin::FlatButton *const mappingButton;
    QLabel *const summaryLabel;
    QTreeWidget *const summaryList;
    QLabel *const problemLabel;
    skin::FlatButton *const importButton;
    skin::FlatButton *const closeButton;

protected:
    /// On activation the rows are marked again against what the ledger has
    /// imported: an import may have been undone or redone meanwhile.
    bool event(QEvent *event) override;

private:
    /// The mapping window on the bill at `path`, starting from `source`'s
    /// mapping: the source whose mapping was kept, or nothing.
    std::optional<QString> setUpMapping(const QString &path, const QString &source);
    void showRows();
    void showRow(std::size_t row);
    void showSummary();
    void showChosen();
    void chooseItem(int index);
    void rowTicked(QTreeWidgetItem *item, int column);
    int chosenRow() const;

    store::Ledger &m_ledger;
    Imported m_imported;
    QString m_path;
    QString m_source; ///< whose mapping read the bank statement shown
    std::optional<BillPreview> m_preview;
    std::vector<ItemTarget> m_items; ///< what the item box offers, in its order
};

/// The text a row's item shows: "未归类 Unassigned" for a row no rule or
/// choice placed, else "type / name".
QString itemText(const PreviewRow &row);
/// "新 New", "重复 Duplicate" or "跳过 Skipped".
QString stateText(RowState state);

} // namespace zambrel::bills
