#pragma once

#include "base/message.h"
#include "skin/skinned_window.h"

class QLabel;

namespace zambrel::skin {

class FlatButton;

/// Width of the box and left edges of its buttons, all in twips.
struct MessageBoxLayout {
    int width = 0;
    int noButtonLeft = 0;
    int yesButtonLeft = 0;
    int cancelButtonLeft = 0; ///< 0 when the box shows no Cancel button
};

/// The box is as wide as the larger of the message (1.12 times the label
/// plus its left margin and 30) and 3.8 button widths plus 1000; the buttons
/// sit 180 twips apart at the right. A three-way question passes the Cancel
/// button's width: the box grows by that button and its gap, and Cancel
/// stands rightmost, after Yes and No.
MessageBoxLayout layoutMessageBox(int labelLeft, int labelWidth, int yesButtonWidth, int noButtonWidth,
                                  int cancelButtonWidth = 0);

/// The program's message box: created once, hidden between messages.
/// `yesButton` answers Yes; `noButton` (the OK button of a plain message)
/// and closing by the caption bar answer No. A YesNoCancel question also
/// shows `cancelButton`, which answers Cancel, as do Escape and closing by
/// the caption bar.
class MessageBox : public SkinnedWindow {
    Q_OBJECT
public:
    explicit MessageBox(QWidget *parent = nullptr);

    QLabel *const iconLabel;
    QLabel *const messageLabel;
    FlatButton *const yesButton;
    FlatButton *const noButton;
    FlatButton *const cancelButton;

    base::MessageButtons buttons() const { return m_buttons; }
    base::MessageIcon icon() const { return m_icon; }
    /// Arranges the buttons and the picture. A plain message, with no icon
    /// or the information icon, shows the one button "确定OK"; a question
    /// without an icon "是  YES" and "否 NO"; any other (a question with an
    /// icon, or a critical message) "是  YES" and "否NO"; a YesNoCancel
    /// question "是  YES", "否 NO" and "取消 Cancel".
    void setButtons(base::MessageButtons buttons, base::MessageIcon icon = base::MessageIcon::None);
    QString message() const { return m_message; }
    /// Shows the text and lays the box out around it.
    void setMessage(const QString &text);

    /// Shows one request modally and returns its answer (see above).
    base::MessageAnswer ask(const base::MessageRequest &request);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutBox();
    void answer(base::MessageAnswer result);
    /// What closing the box without a button answers.
    base::MessageAnswer unanswered() const;

    base::MessageButtons m_buttons = base::MessageButtons::Ok;
    base::MessageIcon m_icon = base::MessageIcon::None;
    base::MessageAnswer m_answer = base::MessageAnswer::No;
    bool m_noFirst = false; ///< the question asked starts on No
    QString m_message;
};

/// The single program-wide box, created on first use.
MessageBox *messageBox();

/// Routes base::showMessage to the skinned message box.
void installMessageBox();

} // namespace zambrel::skin
