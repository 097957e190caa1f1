#include "reports/stock/ui/stock_check.h"

#include "host/feature_host.h"
#include "reports/stock/ui/stock_window.h"

#include <QAction>
#include <QPointer>

namespace zambrel::stock {
namespace {

/// Keeps the window between openings; a child of the main window, so both
/// go together.
class StockCheck : public QObject {
public:
    explicit StockCheck(host::FeatureHost &host) : QObject(host.hostWindow()), m_host(host) {}

    void open()
    {
        if (!m_window) {
            m_window = new StockWindow(m_host.ledger(), m_host.hostWindow());
            m_host.followSkin(m_window);
            connect(m_window, &StockWindow::statusChanged, this,
                    [this](const QString &text) { m_host.showStatus(text); });
        }
        m_window->setMonth(m_host.currentMonth());
        m_window->displayStock();
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
    }

private:
    host::FeatureHost &m_host;
    QPointer<StockWindow> m_window;
};

} // namespace

void registerStockCheck(host::FeatureHost &host)
{
    auto *feature = new StockCheck(host);
    auto *action = new QAction(QStringLiteral("核对股票"), feature);
    action->setObjectName(QStringLiteral("month"));
    action->setShortcut(Qt::CTRL | Qt::Key_K);
    host.addCommand(host::CommandPlace::monthMenu(10), action, [feature] { feature->open(); });
}

} // namespace zambrel::stock
