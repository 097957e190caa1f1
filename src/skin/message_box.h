#pragma once

#include "skin/skinned_window.h"
#include "store/message.h"

class QLabel;

namespace zambrel::skin {

class FlatButton;

/// Width of the box and left edges of its buttons, all in twips.
struct MessageBoxLayout {
    int width = 0;
    int noButtonLeft = 0;
    int yesButtonLeft = 0;
};

/// The box is as wide as the larger of the message (1.12 times the label
/// plus its left margin and 30) and 3.8 button widths plus 1000; the buttons
/// sit 180 twips apart at the right.
MessageBoxLayout layoutMessageBox(int labelLeft, int labelWidth, int yesButtonWidth, int noButtonWidth);

/// The program's message box: created once, hidden between messages.
/// `yesButton` answers 6; `noButton` (the OK button of a plain message) and
/// closing by the caption bar answer 7.
class MessageBox : public SkinnedWindow {
    Q_OBJECT
public:
    explicit MessageBox(QWidget *parent = nullptr);

    QLabel *const iconLabel;
    QLabel *const messageLabel;
    FlatButton *const yesButton;
    FlatButton *const noButton;

    int buttonStyle() const { return m_buttonStyle; }
    /// Arranges the buttons for a message style (0, 4, 16, 32, 64 ...).
    void setButtonStyle(int style);
    QString message() const { return m_message; }
    /// Shows the text and lays the box out around it.
    void setMessage(const QString &text);

    /// Shows one request modally and returns 6 or 7.
    int ask(const store::MessageRequest &request);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutBox();
    void answer(int result);

    int m_buttonStyle = 0;
    QString m_message;
};

/// The single program-wide box, created on first use.
MessageBox *messageBox();

/// Routes store::showMessage to the skinned message box.
void installMessageBox();

} // namespace zambrel::skin
