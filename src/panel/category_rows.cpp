#include "panel/category_rows.h"

#include "base/number_format.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zambrel::panel {
namespace {

QString totalLine(const QString &prefix, double total)
{
    return prefix + base::formatPicture(total, u"#,##0.00");
}

} // namespace

const CategoryCell &CategoryRow::cell(int column) const
{
    static const CategoryCell empty;
    if (column < 0 || column >= static_cast<int>(cells.size()))
        return empty;
    return cells[static_cast<std::size_t>(column)];
}

CategoryRows::CategoryRows(QObject *parent)
    : QObject(parent), m_totalText(totalLine(QStringLiteral("合计："), 0))
{
}

CategoryRows::~CategoryRows() = default;

void CategoryRows::clearRows()
{
    if (inUpdate() && m_step > m_batchStartStep) {
        // The total line keeps what the rows written so far add up to, as
        // it would outside a batch.
        double total = 0;
        for (const Block &block : m_blocks)
            for (const CategoryRow &row : block.rows)
                total += rowAmount(row);
        updateTotalText(total);
    }
    m_blocks.clear();
    m_blocksOfTag.clear();
    m_keyed.clear();
    m_blockStarts.clear();
    m_startsDirty = false;
    m_rowCount = 0;
    m_runningTotal = 0;
    m_sharesCurrent = false;
    // Inside a batch, the total and shares are worked out from here on.
    m_batchStartStep = m_step;
    Q_EMIT emptied();
}

void CategoryRows::clear()
{
    clearRows();
    m_columns.clear();
    touch();
    if (!inUpdate())
        Q_EMIT rowsReset();
}

void CategoryRows::setHeader(const QString &header)
{
    m_header = header;
    clearRows();
    QString captions = header;
    captions.replace(u'|', u',');
    m_columns = captions.isEmpty() ? QStringList() : captions.split(u',');
    touch();
    if (!inUpdate())
        Q_EMIT rowsReset();
}

void CategoryRows::setCaption(const QString &caption)
{
    m_caption = caption;
    touch();
    Q_EMIT captionChanged();
}

void CategoryRows::setCaptionColour(Colour colour)
{
    m_captionColour = colour;
    m_captionColourSet = true;
    touch();
    Q_EMIT captionChanged();
    Q_EMIT totalChanged(m_totalText);
}

QString CategoryRows::memoTipText() const
{
    return m_memo.isEmpty() ? QStringLiteral("没有任何备注信息！") : m_memo;
}

int CategoryRows::rowCount() const
{
    return m_rowCount;
}

void CategoryRows::rebuildStarts() const
{
    if (!m_startsDirty && m_blockStarts.size() == m_blocks.size())
        return;
    m_blockStarts.resize(m_blocks.size());
    int start = 0;
    for (std::size_t b = 0; b < m_blocks.size(); ++b) {
        m_blockStarts[b] = start;
        start += static_cast<int>(m_blocks[b].rows.size());
    }
    m_startsDirty = false;
}

int CategoryRows::flatIndex(const Location &location) const
{
    rebuildStarts();
    return m_blockStarts[static_cast<std::size_t>(location.block)] + location.index;
}

CategoryRows::Location CategoryRows::locate(int index) const
{
    rebuildStarts();
    auto after = std::upper_bound(m_blockStarts.begin(), m_blockStarts.end(), index);
    int block = static_cast<int>(after - m_blockStarts.begin()) - 1;
    // Empty blocks share their start with the next block: step back to the
    // block that really holds the row.
    while (block > 0 && index - m_blockStarts[static_cast<std::size_t>(block)] >=
                            static_cast<int>(m_blocks[static_cast<std::size_t>(block)].rows.size()))
        --block;
    return {block, index - m_blockStarts[static_cast<std::size_t>(block)]};
}

const CategoryRow &CategoryRows::row(int index) const
{
    const Location at = locate(index);
    return m_blocks[static_cast<std::size_t>(at.block)].rows[static_cast<std::size_t>(at.index)];
}

int CategoryRows::rowOfKey(const QString &key) const
{
    const auto found = m_keyed.constFind(key);
    return found == m_keyed.constEnd() ? -1 : flatIndex(*found);
}

CategoryCell &CategoryRows::cellAt(CategoryRow &row, int column)
{
    if (static_cast<int>(row.cells.size()) <= column)
        row.cells.resize(static_cast<std::size_t>(column) + 1);
    return row.cells[static_cast<std::size_t>(column)];
}

void CategoryRows::writeSubItem(CategoryRow &row, int column, const QString &text)
{
    cellAt(row, column).text = text;
    row.hasSubItems = true;
    if (column == amountColumn())
        row.amountRead.reset();
}

void CategoryRows::writeNumber(CategoryRow &row, int column, double value)
{
    // An infinity or NaN from another program is shown as what it is, a
    // mistake, and counts as 0 in the total and the shares.
    if (!std::isfinite(value)) {
        writeSubItem(row, column, base::errorMark());
        if (column == amountColumn())
            row.amountRead = 0.0;
        return;
    }
    // The number the text reads back as comes with it: the amount cell
    // need not be read again.
    base::NumberWithText written = base::numberWithText(value);
    writeSubItem(row, column, written.text);
    if (column == amountColumn())
        row.amountRead = written.value;
}

void CategoryRows::colourRow(CategoryRow &row, double amount, double secondAmount)
{
    // Nothing to compare with a figure that is no number.
    if (!std::isfinite(amount) || !std::isfinite(secondAmount))
        return;
    if (secondAmount < amount)
        cellAt(row, 3).colour = kCompareRed;
    else if (secondAmount > amount)
        cellAt(row, 3).colour = kCompareGreen;
}

void CategoryRows::colourItem(int row, double amount, double secondAmount)
{
    if (row < 0 || row >= m_rowCount)
        return;
    colourRow(rowAt(locate(row)), amount, secondAmount);
    touch();
    if (!inUpdate())
        Q_EMIT cellsChanged();
}

double CategoryRows::rowAmount(const CategoryRow &row) const
{
    // A write of the amount cell forgets the number (writeSubItem) or keeps
    // the one it wrote (writeNumber).
    if (!row.amountRead)
        row.amountRead = base::toNumber(row.text(amountColumn()));
    return *row.amountRead;
}

void CategoryRows::applyShare(CategoryRow &row, double total)
{
    if (row.hasSubItems)
        applyShare(row, total, rowAmount(row));
}

void CategoryRows::applyShare(CategoryRow &row, double total, double amount)
{
    if (!row.hasSubItems || total == 0)
        return;
    const int share = shareColumn();
    cellAt(row, share).text =
        amount <= 0 ? QString() : base::formatPicture(amount / total * 100, u"0.0") + QStringLiteral("%");
    const bool large = amount / total > 0.15;
    cellAt(row, 1).bold = large;
    cellAt(row, 2).bold = large;
    cellAt(row, share).bold = large;
}

void CategoryRows::updateTotalText(double total)
{
    m_total = total;
    m_totalText = totalLine(QStringLiteral("合计Total："), total);
}

double CategoryRows::total()
{
    // Shares already written for this very total would be written again
    // unchanged: only the total line is rewritten then, and no row changes.
    const bool recompute = !m_sharesCurrent;
    double total = m_total;
    if (recompute) {
        total = 0;
        for (const Block &block : m_blocks)
            for (const CategoryRow &row : block.rows)
                total += rowAmount(row);
        for (Block &block : m_blocks)
            for (CategoryRow &row : block.rows)
                applyShare(row, total);
        m_sharesCurrent = true;
    }
    updateTotalText(total);
    touch();
    if (inUpdate()) {
        // Every row is now current: the batch bookkeeping starts afresh.
        m_batchStartStep = m_step;
        m_runningTotal = total;
    } else {
        if (recompute)
            Q_EMIT cellsChanged();
        Q_EMIT totalChanged(m_totalText);
    }
    return total;
}

void CategoryRows::markWritten(const Location &location)
{
    m_blocks[static_cast<std::size_t>(location.block)].writtenAt[static_cast<std::size_t>(location.index)] =
        m_step;
}

void CategoryRows::step()
{
    ++m_step;
    if (m_runningTotal != 0) {
        m_lastNonZeroStep = m_step;
        m_lastNonZeroTotal = m_runningTotal;
    }
}

int CategoryRows::lastBlockOfTag(const QString &tag)
{
    auto found = m_blocksOfTag.find(tag);
    if (found == m_blocksOfTag.end())
        return -1;
    std::vector<int> &blocks = *found;
    while (!blocks.empty() && m_blocks[static_cast<std::size_t>(blocks.back())].rows.empty())
        blocks.pop_back();
    return blocks.empty() ? -1 : blocks.back();
}

void CategoryRows::putItem(const QString &name, double amount, const QString &group, double secondAmount,
                           qint64 code, const QString &memo)
{
    const QString key = QStringLiteral("K") + QString::number(code);
    const bool batch = inUpdate();
    m_sharesCurrent = false;
    if (batch)
        ++m_step; // this call's step; step bookkeeping completes below

    std::optional<Location> written;
    bool inserted = false;
    double before = 0;

    const auto keyed = m_keyed.constFind(key);
    if (keyed != m_keyed.constEnd() && rowAt(*keyed).tag == group) {
        const Location at = *keyed;
        CategoryRow &row = rowAt(at);
        if (batch) {
            // Bring the row to the state recomputing after every call would
            // have left before this update overwrites part of it.
            const std::uint64_t writtenAt =
                m_blocks[static_cast<std::size_t>(at.block)].writtenAt[static_cast<std::size_t>(at.index)];
            if (m_lastNonZeroStep > m_batchStartStep && m_lastNonZeroStep >= writtenAt)
                applyShare(row, m_lastNonZeroTotal);
        }
        before = rowAmount(row);
        m_memo = memo;
        writeSubItem(row, 1, name);
        writeNumber(row, 2, amount);
        if (columnCount() > 3) {
            writeNumber(row, 3, secondAmount);
            colourRow(row, amount, secondAmount);
        }
        written = at;
        if (batch)
            m_memoTipPending = true;
        else
            Q_EMIT memoTipRequested();
    } else if (group.isEmpty()) {
        CategoryRow row;
        row.tag = name;
        cellAt(row, 0).text = name;
        if (amount > 0)
            writeNumber(row, 2, amount);
        m_blocks.push_back(Block{{std::move(row)}, {0}});
        const int block = static_cast<int>(m_blocks.size()) - 1;
        m_blocksOfTag[name].push_back(block);
        written = Location{block, 0};
        inserted = true;
    } else if (const int block = lastBlockOfTag(group); block >= 0) {
        CategoryRow row;
        row.tag = group;
        writeSubItem(row, 1, name);
        writeNumber(row, 2, amount);
        if (columnCount() > 3) {
            writeNumber(row, 3, secondAmount);
            colourRow(row, amount, secondAmount);
        }
        if (columnCount() > 4)
            writeSubItem(row, 4, QString());
        Block &target = m_blocks[static_cast<std::size_t>(block)];
        target.rows.push_back(std::move(row));
        target.writtenAt.push_back(0);
        written = Location{block, static_cast<int>(target.rows.size()) - 1};
        inserted = true;
    }

    if (inserted) {
        ++m_rowCount;
        m_startsDirty = true;
        if (code > 0 && !m_keyed.contains(key)) {
            rowAt(*written).key = key;
            m_keyed.insert(key, *written);
        }
    }

    if (batch) {
        if (written) {
            m_runningTotal += rowAmount(rowAt(*written)) - before;
            markWritten(*written);
        }
        if (m_runningTotal != 0) {
            m_lastNonZeroStep = m_step;
            m_lastNonZeroTotal = m_runningTotal;
        }
        touch();
        return;
    }

    if (inserted)
        Q_EMIT rowInserted(flatIndex(*written));
    total();
}

bool CategoryRows::removeItem(const QString &code)
{
    const auto keyed = m_keyed.constFind(code);
    if (keyed == m_keyed.constEnd())
        return false;
    const Location at = *keyed;
    const int removedIndex = flatIndex(at);
    Block &block = m_blocks[static_cast<std::size_t>(at.block)];
    const double amount = rowAmount(block.rows[static_cast<std::size_t>(at.index)]);
    m_keyed.erase(keyed);
    block.rows.erase(block.rows.begin() + at.index);
    block.writtenAt.erase(block.writtenAt.begin() + at.index);
    for (std::size_t i = static_cast<std::size_t>(at.index); i < block.rows.size(); ++i) {
        if (!block.rows[i].key.isEmpty())
            m_keyed[block.rows[i].key] = Location{at.block, static_cast<int>(i)};
    }
    --m_rowCount;
    m_startsDirty = true;
    m_sharesCurrent = false;

    if (inUpdate()) {
        m_runningTotal -= amount;
        step();
        touch();
        return true;
    }
    Q_EMIT rowRemoved(removedIndex);
    total();
    return true;
}

void CategoryRows::beginUpdate()
{
    if (m_batchDepth++ > 0)
        return;
    m_batchStartStep = m_step;
    m_lastNonZeroStep = m_step;
    m_memoTipPending = false;
    double total = 0;
    for (const Block &block : m_blocks)
        for (const CategoryRow &row : block.rows)
            total += rowAmount(row);
    m_runningTotal = total;
}

void CategoryRows::endUpdate()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    if (m_step > m_batchStartStep) {
        // Each amount cell is read once, in row order (the order of the sum).
        std::vector<double> amounts;
        amounts.reserve(static_cast<std::size_t>(m_rowCount));
        double total = 0;
        for (const Block &block : m_blocks)
            for (const CategoryRow &row : block.rows)
                total += amounts.emplace_back(rowAmount(row));
        std::size_t next = 0;
        if (total != 0) {
            for (Block &block : m_blocks)
                for (CategoryRow &row : block.rows)
                    applyShare(row, total, amounts[next++]);
        } else if (m_lastNonZeroStep > m_batchStartStep) {
            // The final total is 0, so the shares stay as the last non-zero
            // total left them; rows written after that keep what was written.
            for (Block &block : m_blocks)
                for (std::size_t i = 0; i < block.rows.size(); ++i, ++next)
                    if (block.writtenAt[i] <= m_lastNonZeroStep)
                        applyShare(block.rows[i], m_lastNonZeroTotal, amounts[next]);
        }
        updateTotalText(total);
        // With a total of 0, total() writes no share: what is left stands.
        m_sharesCurrent = true;
    }
    touch();
    Q_EMIT rowsReset();
    Q_EMIT totalChanged(m_totalText);
    if (std::exchange(m_memoTipPending, false))
        Q_EMIT memoTipRequested();
}

void CategoryRows::touch()
{
    ++m_revision;
}

} // namespace zambrel::panel
