#pragma once

#include <QWidget>

namespace zambrel::ledger {

/// The vertical bar between the panels and the right-hand pane: reports a
/// drag as press, move (pointer x inside the bar, pixels) and release.
class SplitterHandle : public QWidget {
    Q_OBJECT
public:
    explicit SplitterHandle(QWidget *parent = nullptr);

Q_SIGNALS:
    void pressed();
    void moved(int x);
    void released();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_dragging = false;
};

} // namespace zambrel::ledger
