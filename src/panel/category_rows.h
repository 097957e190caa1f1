#pragma once

#include "base/text_key.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace zambrel::panel {

/// Colours are 32-bit values 0x00BBGGRR (blue high, red low).
using Colour = quint32;

/// Red and green of the comparison colour, the caption strip's default
/// background, the light red of the expenditure and liabilities captions, and
/// the total line's text colour before a caption colour is set.
inline constexpr Colour kCompareRed = 0x000000C8;   // red 200
inline constexpr Colour kCompareGreen = 0x0000C800; // green 200
inline constexpr Colour kDefaultCaptionBg = 0x00C0FFC0;
inline constexpr Colour kLightRed = 0x008080FF;
inline constexpr Colour kTotalBlue = 0x00FF0000;

/// One cell of a row: its text, weight and (when set) text colour.
struct CategoryCell {
    QString text;
    bool bold = false;
    std::optional<Colour> colour; ///< unset: the list's normal text colour
};

/// One row of a category panel. cells[0] is the first column (the group name
/// on a group row), cells[1..] the sub-items. `cells` may be shorter than the
/// column count: a missing cell is empty and plain.
struct CategoryRow {
    QString tag; ///< group key: the group's own name, or the type an item was added with
    QString key; ///< "K" + item number, or empty
    std::vector<CategoryCell> cells;
    bool hasSubItems = false; ///< true once any sub-item was written
    /// The amount cell read as a number, kept by the model between writes of
    /// that cell (reading the text costs more than the rest of a row).
    mutable std::optional<double> amountRead;

    const CategoryCell &cell(int column) const;
    QString text(int column) const { return cell(column).text; }
    bool isGroup() const { return !hasSubItems || cell(1).text.isEmpty(); }
};

/// What one category panel (income, expenditure, assets or liabilities)
/// displays: columns, rows grouped per type, each row's share of the total,
/// bold large shares, comparison colours, the total line, the caption and the
/// memo for the tip. Qt Core only; the panel widget is a view over it.
///
/// Change notification: outside a batch every mutation emits its signal at
/// once. Inside beginUpdate()/endUpdate() nothing is emitted and the total and
/// shares are computed once, at the end, with the same visible result as
/// computing them after every row; endUpdate() then emits rowsReset() and
/// totalChanged(). revision() grows with every visible change, for views that
/// prefer polling.
///
/// Nothing here throws.
class CategoryRows : public QObject {
    Q_OBJECT
public:
    explicit CategoryRows(QObject *parent = nullptr);
    ~CategoryRows() override;

    /// Removes all rows and all columns. The total line keeps its text.
    void clear();

    /// Removes the first row whose key equals `code` (for example "K57") and
    /// recomputes the total. False when no row has that key.
    bool removeItem(const QString &code);

    /// Adds or updates one row. `group` empty: a group row titled
    /// `name`. Otherwise an item inserted after the last row tagged
    /// `group` (nothing happens when there is none), or, when a row with that
    /// tag already carries the key "K"+code, that row updated in place. New
    /// rows get the key "K"+code when code > 0 and the key is still free.
    /// An amount that is no finite number shows as base::errorMark() and
    /// counts as 0.
    void putItem(const QString &name, double amount, const QString &group, double secondAmount = 0,
                 qint64 code = 0, const QString &memo = {});

    /// Colours sub-item 3 of row `row`: red when secondAmount < amount, green
    /// when secondAmount > amount, unchanged when equal or when either is no
    /// finite number. Ignores rows out of range.
    void colourItem(int row, double amount, double secondAmount);

    /// Recomputes the total from the amount cells, rewrites every share and
    /// the total line, and returns it.
    double total();
    /// The total as last computed, without recomputing.
    double lastTotal() const { return m_total; }

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    /// 0 before the first assignment.
    Colour captionColour() const { return m_captionColour; }
    void setCaptionColour(Colour colour);
    /// Background of the caption strip: the assigned colour, or light green.
    Colour captionBackground() const { return m_captionColourSet ? m_captionColour : kDefaultCaptionBg; }
    /// Text colour of the total line: blue until a caption colour is set.
    Colour totalTextColour() const { return m_captionColourSet ? m_captionColour : kTotalBlue; }

    /// Comma-separated column captions ("|" counts as a comma). Writing
    /// empties the list and rebuilds the columns.
    QString header() const { return m_header; }
    void setHeader(const QString &header);
    QStringList columns() const { return m_columns; }
    int columnCount() const { return static_cast<int>(m_columns.size()); }

    /// The memo shown by the next tip.
    QString memo() const { return m_memo; }
    void setMemo(const QString &memo) { m_memo = memo; }
    /// The text the tip shows: the memo, or "没有任何备注信息！" when empty.
    QString memoTipText() const;

    /// The total line, "合计：0.00" until the first computation.
    QString totalText() const { return m_totalText; }

    int rowCount() const;
    /// Row `index` (0 = top). `index` must be in range.
    const CategoryRow &row(int index) const;
    /// Index of the row with this key, or -1.
    int rowOfKey(const QString &key) const;
    /// How many rows carry a key.
    int keyedRowCount() const { return static_cast<int>(m_keyed.size()); }
    /// Column index of the amount that is totalled and shared: 2 in a
    /// four-column panel, else 3; and of the share cell: 3, else 4.
    int amountColumn() const { return columnCount() == 4 ? 2 : 3; }
    int shareColumn() const { return columnCount() == 4 ? 3 : 4; }

    /// Batch updates (nestable): see the class comment.
    void beginUpdate();
    void endUpdate();
    bool inUpdate() const { return m_batchDepth > 0; }

    std::uint64_t revision() const { return m_revision; }

Q_SIGNALS:
    /// Columns or rows were replaced wholesale (clear, header, end of batch).
    void rowsReset();
    /// Every row was removed (clear, header), also inside a batch: a view
    /// drops its selection and scrolls back to the top, even when it keeps
    /// its list rows to rewrite them at the end of the batch.
    void emptied();
    void rowInserted(int row);
    void rowRemoved(int row);
    /// Texts, weights or colours of existing rows changed.
    void cellsChanged();
    void totalChanged(const QString &totalText);
    void captionChanged();
    /// An existing item was updated: the view shows the memo tip for its
    /// selected row (if any).
    void memoTipRequested();

private:
    struct Location {
        int block = 0;
        int index = 0;
    };
    struct Block {
        std::vector<CategoryRow> rows;
        std::vector<std::uint64_t> writtenAt; // batch step of each row's last write
    };

    CategoryCell &cellAt(CategoryRow &row, int column);
    void writeSubItem(CategoryRow &row, int column, const QString &text);
    void writeNumber(CategoryRow &row, int column, double value);
    void colourRow(CategoryRow &row, double amount, double secondAmount);
    int lastBlockOfTag(const QString &tag);
    CategoryRow &rowAt(const Location &location) { return m_blocks[location.block].rows[location.index]; }
    void markWritten(const Location &location);
    void step();
    int flatIndex(const Location &location) const;
    Location locate(int index) const;
    void rebuildStarts() const;
    double rowAmount(const CategoryRow &row) const;
    void applyShare(CategoryRow &row, double total);
    void applyShare(CategoryRow &row, double total, double amount);
    void updateTotalText(double total);
    void touch();
    void clearRows();

    QStringList m_columns;
    QString m_header;
    QString m_caption;
    Colour m_captionColour = 0;
    bool m_captionColourSet = false;
    QString m_memo;
    double m_total = 0;
    QString m_totalText;
    // The shares and m_total are what total() would compute from the rows:
    // no amount was written or row added or removed since they were.
    bool m_sharesCurrent = false;

    // Rows live in blocks: each group row starts a block and the items of its
    // tag are appended to the latest block of that tag, so an insertion never
    // moves other rows and a month loads in linear time.
    std::vector<Block> m_blocks;
    QHash<base::TextKey, std::vector<int>> m_blocksOfTag;
    QHash<base::TextKey, Location> m_keyed;
    mutable std::vector<int> m_blockStarts;
    mutable bool m_startsDirty = false;
    int m_rowCount = 0;

    // Batch state: totals are tracked incrementally per step so that the
    // shares at the end match what recomputing after every row would leave.
    int m_batchDepth = 0;
    std::uint64_t m_step = 0;
    std::uint64_t m_lastNonZeroStep = 0;
    double m_lastNonZeroTotal = 0;
    double m_runningTotal = 0;
    std::uint64_t m_batchStartStep = 0;
    bool m_memoTipPending = false;

    std::uint64_t m_revision = 0;
};

} // namespace zambrel::panel
