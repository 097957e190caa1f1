#pragma once

#include "import/bank_csv.h"
#include "skin/skinned_window.h"

#include <QByteArray>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QTreeWidget;

namespace zambrel::skin {
class FlatButton;
}
namespace zambrel::store {
class Ledger;
}

namespace zambrel::bills {

/// The window "列对应 Column Mapping": how to read one source's bank
/// statements, set once and kept in the ledger. It shows the head of the
/// statement (`lvSample`) and asks for the source's name (`cboSource`, the
/// sources kept to choose from), the encoding (`cboEncoding`), separator
/// (`cboSeparator`), date order (`cboDateOrder`), lines to skip above and at
/// the end (`spnSkipLines`, `spnSkipTrailing`), whether a header line names
/// the columns (`chkHeader`), the decimal comma (`chkDecimalComma`) and which
/// column holds what (`cboDateColumn` and the six after it). It starts from
/// the mapping kept for the source, or one guessed from the statement, and
/// tells in `lblCheck` what the mapping reads of the whole file.
/// "确定 OK" (`cmdOk`) keeps the mapping under the source's name; it is
/// enabled when the mapping reads at least one transaction. "删除来源 Remove
/// Source" (`cmdRemoveSource`, for a kept source's name) forgets that
/// source's mapping after a question. "取消 Cancel" (`cmdCancel`, or Escape)
/// keeps nothing more.
class BankMappingWindow : public skin::SkinnedWindow {
    Q_OBJECT
public:
    /// Which column each column box places, in the boxes' order.
    static constexpr int kColumnRoles = 7;

    /// `content` is the statement's bytes; `source`, when kept in the ledger,
    /// gives the mapping to start from. `ledger` must outlive the window.
    /// @throws store::DbError when the kept mappings cannot be read
    BankMappingWindow(store::Ledger &ledger, const QByteArray &content, const QString &source,
                      QWidget *parent = nullptr);
    ~BankMappingWindow() override;

    /// Shows the window modal; the source's name once a mapping was kept,
    /// else nothing.
    std::optional<QString> setUp();

    /// The mapping as the boxes set it.
    BankCsvMapping mapping() const;
    /// Sets every box to `mapping`.
    void showMapping(const BankCsvMapping &mapping);

    /// The buttons' actions: keeps the mapping; forgets the source's.
    void accept();
    void removeSource();

    QLabel *const sourceLabel;
    QComboBox *const sourceBox;
    QLabel *const encodingLabel;
    QComboBox *const encodingBox;
    QLabel *const separatorLabel;
    QComboBox *const separatorBox;
    QLabel *const dateOrderLabel;
    QComboBox *const dateOrderBox;
    QLabel *const skipLabel;
    QSpinBox *const skipBox;
    QLabel *const trailingLabel;
    QSpinBox *const trailingBox;
    QCheckBox *const headerBox;
    QCheckBox *const decimalCommaBox;
    QLabel *const sampleLabel;
    QTreeWidget *const sampleList;
    std::array<QLabel *, kColumnRoles> columnLabels{};
    std::array<QComboBox *, kColumnRoles>
        columnBoxes{}; ///< date, description, counterparty, reference, amount, debit, credit
    QLabel *const checkLabel;
    skin::FlatButton *const removeButton;
    skin::FlatButton *const okButton;
    skin::FlatButton *const cancelButton;

private:
    void sourceChosen(int index);
    void resample();
    void showSample();
    void check();

    store::Ledger &m_ledger;
    QByteArray m_content;
    CsvSample m_sample;
    std::optional<QString> m_kept;
};

} // namespace zambrel::bills
