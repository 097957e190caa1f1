#include "reports/stock/ui/stock_check.h"

#include "host/feature_host.h"
#include "reports/stock/ui/stock_window.h"

#include <QPointer>

namespace zambrel::stock {
namespace {

/// Keeps the window between openings; a child of the main window, so both
/// go together.
class StockCheck : public QObject {
public:
    explicit StockCheck(ledger::FeatureHost &host) : QObject(host.hostWindow()), m_host(host) {}

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
    ledger::FeatureHost &m_host;
    QPointer<StockWindow> m_window;
};

} // namespace

void registerStockCheck(ledger::FeatureHost &host)
{
    auto *feature = new StockCheck(host);
    host.provide(ledger::Command::StockCheck, [feature] { feature->open(); });
}

} // namespace zambrel::stock
