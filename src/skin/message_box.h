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
/// `yesButton` answers 6; `noButton` (the OK button of a plain message) and
/// closing by the caption bar answer 7. A three-way question (style 3) also
/// shows `cancelButton`, which answers 2, as do Escape and closing by the
/// caption bar.
class MessageBox : public SkinnedWindow {
    Q_OBJECT
public:
    explicit MessageBox(QWidget *parent = nullptr);

    QLabel *const iconLabel;
    QLabel *const messageLabel;
    FlatButton *const yesButton;
    FlatButton *const noButton;
    FlatButton *const cancelButton;

    int buttonStyle() const { return m_buttonStyle; }
    /// Arranges the buttons for a message style (0, 3, 4, 16, 32, 64 ...).
    void setButtonStyle(int style);
    QString message() const { return m_message; }
    /// Shows the text and lays the box out around it.
    void setMessage(const QString &text);

    /// Shows one request modally and returns 6 or 7 (or 2: see above).
    int ask(const base::MessageRequest &request);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutBox();
    void answer(int result);
    /// What closing the box without a button answers.
    int unansweredResult() const;

    int m_buttonStyle = 0;
    QString m_message;
};

/// The single program-wide box, created on first use.
MessageBox *messageBox();

/// Routes base::showMessage to the skinned message box.
void installMessageBox();

} // namespace zambrel::skin
