#include "journal_text_box.h"

#include "journal/long_lines.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace zambrel::journal {

JournalTextBox::JournalTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    connect(document(), &QTextDocument::contentsChange, this, &JournalTextBox::followChange);
}

void JournalTextBox::setText(const QString &text)
{
    CutText cut = cutLongLines(text);
    m_cuts.clear();
    m_arriving = std::move(cut.cuts);
    m_arrivingAt = 0;
    setPlainText(cut.display);
    setUndoRedoEnabled(m_cuts.empty());
}

QString JournalTextBox::text() const
{
    return joinCuts(toPlainText(), m_cuts);
}

void JournalTextBox::followChange(int position, int removed, int added)
{
    // Cuts inside the replaced stretch are gone with it (a line break typed
    // or pasted there is the text's own); those after it move along.
    const auto first = std::lower_bound(m_cuts.begin(), m_cuts.end(), position);
    const auto last = std::lower_bound(first, m_cuts.end(), position + removed);
    const auto moved = m_cuts.erase(first, last);
    for (auto cut = moved; cut != m_cuts.end(); ++cut)
        *cut += added - removed;
    // The cuts of text being put in arrive with it, before anyone hears of
    // the change.
    if (m_arrivingAt == position && added > 0) {
        for (const int cut : m_arriving)
            m_cuts.push_back(position + cut);
        std::sort(m_cuts.begin(), m_cuts.end());
        m_arriving.clear();
        m_arrivingAt = -1;
    }
}

void JournalTextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // Line ends as the box keeps them, so that a position in the pasted
    // text is a position in the document.
    QString pasted = source->text();
    pasted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    pasted.replace(u'\r', u'\n');
    CutText cut = cutLongLines(pasted);
    if (cut.cuts.empty()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    m_arriving = std::move(cut.cuts);
    m_arrivingAt = cursor.selectionStart();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertText(cut.display);
    cursor.endEditBlock();
    setTextCursor(cursor);
    setUndoRedoEnabled(false);
    ensureCursorVisible();
}

QMimeData *JournalTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    if (m_cuts.empty() || !cursor.hasSelection())
        return QPlainTextEdit::createMimeDataFromSelection();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::vector<int> inside;
    for (auto cut = std::lower_bound(m_cuts.begin(), m_cuts.end(), start); cut != m_cuts.end() && *cut < end;
         ++cut)
        inside.push_back(*cut - start);
    auto *copied = new QMimeData;
    copied->setText(joinCuts(toPlainText().mid(start, end - start), inside));
    return copied;
}

} // namespace zambrel::journal
