#pragma once

// Widget helpers shared by the window tests of the ledger, input and history.

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace zambrel::testkit {

/// The visible top-level window of class `Window`, or null.
template <typename Window> Window *shownWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Window *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

/// Types text as a person would: ASCII by keys, everything else the way a
/// Chinese input method delivers it (a committed string).
inline void typeInto(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(widget, c.toLatin1());
            continue;
        }
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QApplication::sendEvent(widget, &commit);
    }
}

/// Replaces a line's text by keys.
inline void retypeInto(QLineEdit *line, const QString &text)
{
    line->setFocus();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Delete);
    typeInto(line, text);
}

/// The texts of a list's column `column`, top to bottom.
inline QStringList columnTexts(const QTreeWidget *list, int column = 0)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

} // namespace zambrel::testkit
