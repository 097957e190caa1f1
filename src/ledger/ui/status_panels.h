#pragma once

#include <QObject>
#include <QString>

#include <array>

class QLabel;
class QStatusBar;
class QTimer;

namespace zambrel::ledger {

/// The five panels of the main window's status bar: 1 the status line,
/// 2 Caps Lock, 3 Num Lock, 4 Insert (shown while the key's state is on, and
/// only where the platform tells it), 5 today's date, which turns over at
/// midnight by the program's clock.
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
    void updateDate();
    void scheduleDate();

    std::array<QLabel *, 5> m_panels{};
    QTimer *m_dateTimer;
};

} // namespace zambrel::ledger
