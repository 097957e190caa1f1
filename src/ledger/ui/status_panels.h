#pragma once

#include <QObject>
#include <QString>

#include <array>

class QLabel;
class QStatusBar;
class QTimer;

namespace zambrel::ledger {

/// The panels of the main window's status bar, numbered as the status line
/// routine names them: 1 the status line, 2 Caps Lock and 3 Num Lock (shown
/// while the key's light is on, where the platform tells it), 5 today's
/// date, which turns over at midnight by the program's clock. There is no
/// panel 4 (Insert): the program's text fields have no overwrite mode for
/// the Insert key to toggle, and the platform keeps no Insert state, so it
/// would stand for a state nobody knows; text(4) is empty and setText(4)
/// does nothing.
class StatusPanels : public QObject {
    Q_OBJECT
public:
    explicit StatusPanels(QStatusBar *bar);
    ~StatusPanels() override;

    QString text(int panel) const;
    void setText(int panel, const QString &text);
    /// Reads the lock keys and the date again.
    void updateIndicators();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *label(int panel) const;
    void updateDate();
    void scheduleDate();

    std::array<QLabel *, 5> m_panels{}; // by panel number - 1; no panel 4
    QTimer *m_dateTimer;
};

} // namespace zambrel::ledger
