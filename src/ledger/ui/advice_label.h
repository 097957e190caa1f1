#pragma once

#include <QLabel>

namespace zambrel::ledger {

/// The written assessment: a label that Tab reaches so that its text can be
/// read out and copied (Ctrl+A, Ctrl+C) from the keyboard. It is no field to
/// type in, so it shows the focus by a frame, not by a caret.
class AdviceLabel : public QLabel {
    Q_OBJECT
public:
    explicit AdviceLabel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace zambrel::ledger
