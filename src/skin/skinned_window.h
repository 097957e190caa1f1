#pragma once

#include <QWidget>

class QEventLoop;

namespace zambrel::skin {

class CaptionBar;
class BorderStrip;

/// Base of every window of the program: a frameless top-level window that
/// wears the skin. It carries the caption bar `captionBar` (objectName
/// "JSCAPTION1") along the top, the border strips `leftBorder`, `rightBorder`
/// and `bottomBorder` (objectNames "JSBORDER1" to "JSBORDER3")
/// (bottom), and a content area inside them for the window's own controls.
class SkinnedWindow : public QWidget {
    Q_OBJECT
public:
    explicit SkinnedWindow(QWidget *parent = nullptr);
    ~SkinnedWindow() override;

    CaptionBar *const captionBar;
    BorderStrip *const leftBorder;
    BorderStrip *const rightBorder;
    BorderStrip *const bottomBorder;

    /// Where subclasses put their controls; positions are relative to it.
    QWidget *contentArea() const { return m_content; }
    /// Resizes the window so that the content area gets `size`.
    void resizeContent(QSize size);

    /// Shows the window application-modal and returns once it is hidden
    /// (by a button, by the caption bar's close, or by hide()), giving the
    /// result set meanwhile. The window is not destroyed.
    int exec();
    bool isInModalLoop() const { return m_loop != nullptr; }
    int result() const { return m_result; }
    void setResult(int result) { m_result = result; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void layoutChrome();

    QWidget *m_content;
    QEventLoop *m_loop = nullptr;
    int m_result = 0;
};

} // namespace zambrel::skin
