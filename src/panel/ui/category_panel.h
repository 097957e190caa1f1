#pragma once

#include <QPointer>
#include <QWidget>

#include "panel/category_rows.h"

#include <memory>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace zambrel::skin {
class BalloonTip;
}

namespace zambrel::panel {

/// The category panel: a caption strip, the rows of one category in a list
/// and the total line under it. It shows a CategoryRows model (owned by the
/// caller, who fills it) and forwards clicks with the row key.
class CategoryPanel : public QWidget {
    Q_OBJECT
public:
    explicit CategoryPanel(CategoryRows *rows, QWidget *parent = nullptr);
    ~CategoryPanel() override;

    /// The model shown; null once its owner has let it go.
    CategoryRows *rows() const { return m_rows.data(); }

    QLabel *const captionLabel;
    QTreeWidget *const list;
    QLabel *const totalLabel;

    /// Shows the memo tip for the selected item row; nothing for a group row
    /// or when no row is selected.
    void showMemoTip();
    /// The memo tip, or null before the first tip.
    skin::BalloonTip *memoTip() const { return m_tip.get(); }

Q_SIGNALS:
    /// A row was clicked (or chosen with Space): its key, empty for a group.
    void clicked(const QString &key);
    /// The selected row was double-clicked (or chosen with Enter).
    void doubleClicked(const QString &key);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuild();
    void insertRow(int row);
    void removeRow(int row);
    void refreshCells();
    void writeItem(QTreeWidgetItem *item, int row);
    QTreeWidgetItem *newItem(int row) const;
    bool spansRow(const CategoryRow &source) const;
    void showCaption();
    void applyLabelColours();
    void showTotal(const QString &text);
    void layoutParts();
    void resizeColumns();
    void scheduleColumnFit();
    void rowClicked(QTreeWidgetItem *item);
    void rowDoubleClicked();
    /// The model row shown by `item`, or -1 (no model, no item, a stale row).
    int modelRow(QTreeWidgetItem *item) const;
    /// The selected current row, or -1.
    int selectedRow() const;

    QPointer<CategoryRows> m_rows; // the owner's model may go first
    std::unique_ptr<skin::BalloonTip> m_tip;
    QStringList m_shownColumns;
    bool m_fitPending = false;
    bool m_colouring = false;
    QFont m_plainFont;
    QFont m_boldFont;
};

} // namespace zambrel::panel
