#pragma once

#include <QFrame>
#include <QImage>
#include <QString>

namespace zambrel::stock {

/// The picture box of the stock check: shows the chart picture at its
/// top-left corner, and over it a one-line hint while charts cannot be
/// fetched. A click (or Space / Enter while it has the focus) raises
/// clicked(). It only shows what it is given.
class ChartPicture : public QFrame {
    Q_OBJECT
public:
    explicit ChartPicture(QWidget *parent = nullptr);

    /// Drawn at the top-left of the area inside the frame, at its own size.
    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    /// One line shown in the middle of the area; empty for none.
    void setHint(const QString &hint);
    QString hint() const { return m_hint; }

    /// The size a picture fills inside the frame.
    QSize pictureArea() const { return contentsRect().size(); }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage m_picture;
    QString m_hint;
    bool m_pressed = false;
};

} // namespace zambrel::stock
