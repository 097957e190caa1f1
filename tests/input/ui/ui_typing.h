#pragma once

#include "input/ui/entry_dialog.h"

#include <QComboBox>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

namespace zambrel::testkit {

// Types text as a person would: ASCII by keys, everything else the way a
// Chinese input method delivers it (a committed string).
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

// Replaces the text of a field of the entry window by keys.
inline void retype(input::EntryDialog &dialog, input::EntryField field, const QString &text)
{
    QLineEdit *line = field == input::EntryField::Type ? dialog.typeBox->lineEdit()
                                                       : qobject_cast<QLineEdit *>(dialog.control(field));
    line->setFocus();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Delete);
    typeInto(line, text);
}

} // namespace zambrel::testkit
