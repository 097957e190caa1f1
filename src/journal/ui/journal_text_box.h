#pragma once

#include <QPlainTextEdit>

#include <vector>

namespace zambrel::journal {

/// One of the journal's nine boxes: a plain text box that shows any text
/// at once. A line longer than kLongLine characters is shown cut into
/// display lines (cutLongLines()); text() gives the text without the cuts,
/// exactly as it was given and then typed, whatever is typed, pasted, cut
/// or copied around them. A paste with such a line is cut the same way.
/// While the box shows cuts it keeps no undo history: an undone deletion
/// would bring a cut back as a line break of the text.
class JournalTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit JournalTextBox(QWidget *parent = nullptr);

    /// Shows `text` (lines end in "\n"), cut for display where needed.
    void setText(const QString &text);
    /// The text shown, without the display cuts.
    QString text() const;
    /// How many display cuts the box shows.
    int cutCount() const { return int(m_cuts.size()); }

protected:
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    void followChange(int position, int removed, int added);

    // Positions in the document of the line breaks that are display cuts,
    // ascending; kept in step with every change of the document.
    std::vector<int> m_cuts;
    // The cuts of text about to be put in at m_arrivingAt, relative to it.
    std::vector<int> m_arriving;
    int m_arrivingAt = -1;
};

} // namespace zambrel::journal
