#pragma once

#include "skin/skinned_window.h"
#include "store/message.h"

class QLabel;

namespace zambrel::skin {

class FlatButton;

/// Width of the box and left edges of its buttons, all in twips.
struct MessageBoxLayout {
    int width = 0;
    int cmdNoLeft = 0;
    int cmdOkLeft = 0;
};

/// The box is as wide as the larger of the message (1.12 times the label
/// plus its left margin and 30) and 3.8 button widths plus 1000; the buttons
/// sit 180 twips apart at the right.
MessageBoxLayout layoutMessageBox(int labelLeft, int labelWidth, int cmdOkWidth, int cmdNoWidth);

/// The program's message box: created once, hidden between messages.
/// `cmdOK` answers 6, `cmdNo` and closing by the caption bar answer 7.
class frmMsgBox : public SkinnedWindow {
    Q_OBJECT
public:
    explicit frmMsgBox(QWidget *parent = nullptr);

    QLabel *const Image1;
    QLabel *const lblMsg;
    FlatButton *const cmdOK;
    FlatButton *const cmdNo;

    int vbButton() const { return m_style; }
    /// Arranges the buttons for a message style (0, 4, 16, 32, 64 ...).
    void setVbButton(int style);
    QString Msg() const { return m_msg; }
    /// Shows the text and lays the box out around it.
    void setMsg(const QString &text);

    /// Shows one request modally and returns 6 or 7.
    int ask(const store::MessageRequest &request);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutBox();
    void answer(int result);

    int m_style = 0;
    QString m_msg;
};

/// The single program-wide box, created on first use.
frmMsgBox *messageBox();

/// Routes store::showMessage to the skinned message box.
void installMessageBox();

} // namespace zambrel::skin
