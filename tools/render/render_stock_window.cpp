// Renders the stock check, with holdings, targets and a chart from a
// loopback site, in every shipped skin to PNG files, plus the window
// without sites and the settings window: render_stock_window OUT_DIR.
#include "base/app_paths.h"
#include "reports/stock/stock_sites.h"
#include "reports/stock/ui/site_settings_dialog.h"
#include "reports/stock/ui/stock_window.h"
#include "skin/apply_skin.h"
#include "skin/flat_button.h"
#include "skin/interface_font.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include "loopback_http_server.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstdio>

using namespace zambrel;

namespace {

// Something that looks like a day's price chart.
QByteArray chartPng()
{
    QImage image(545, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(220, 220, 220));
    for (int y = 20; y < 280; y += 40)
        painter.drawLine(40, y, 530, y);
    painter.setPen(QPen(QColor(0, 0, 160), 2));
    QPolygon line;
    for (int x = 40; x <= 530; x += 7)
        line << QPoint(x, 150 + int(60 * std::sin(x / 50.0)) + (x % 21) - 10);
    painter.drawPolyline(line);
    painter.setPen(Qt::black);
    painter.drawText(44, 16, QStringLiteral("600000 浦发银行"));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

store::Item share(const QString &name, double cost, double value)
{
    store::Item item;
    item.type = QStringLiteral("股票");
    item.name = name;
    item.downPayment = cost;
    item.totalCost = value;
    return item;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zambrel::skin::preferSimplifiedChineseFace();
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_stock_window OUT_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QTemporaryDir folder;
    base::setProgramFolder(folder.path());
    base::setSettingsFile(folder.filePath(QStringLiteral("settings.ini")));
    const QString path = folder.filePath(QStringLiteral("books.mdb"));
    store::createLedger(path);
    store::Ledger ledger(path, {});
    const QString month = QStringLiteral("2026-05");
    ledger.addItem(month, share(QStringLiteral("600000 浦发银行"), 10000, 11820.5));
    ledger.addItem(month, share(QStringLiteral("600036 招商银行"), 8000, 7400));
    ledger.addItem(month, share(QStringLiteral("000651 格力电器"), 5200, 6100));

    testkit::LoopbackHttpServer server;
    const QByteArray chart = testkit::LoopbackHttpServer::response(200, "OK", chartPng());
    server.setHandler([chart](const QString &) { return chart; });

    QStringList skins =
        QDir(base::skinsFolder()).entryList({QStringLiteral("*.jss")}, QDir::Files, QDir::Name);
    int index = 0;
    for (const QString &skinFile : skins) {
        stock::saveSiteSettings({server.address(), server.address(), stock::SiteSettings::kDefaultTimeout});
        const QString name = QString::number(++index);
        auto *window = new stock::StockWindow(ledger);
        skin::applySkin(window, base::skinsFolder() + u'/' + skinFile);
        window->setMonth(month);
        window->displayStock();
        window->show();
        window->riseOption->click();
        window->kLineButton->click();
        if (!QTest::qWaitFor([window] { return !window->chart().isBusy(); }, 5000))
            std::fprintf(stderr, "the chart did not come\n");
        QApplication::processEvents();
        window->grab().save(out + QStringLiteral("/stock-%1.png").arg(name));
        std::printf("%s: %s\n", qPrintable(name), qPrintable(QFileInfo(skinFile).completeBaseName()));
        window->close();
        QApplication::processEvents();
    }

    // The first opening on a fresh install, and its settings window.
    stock::saveSiteSettings({});
    auto *window = new stock::StockWindow(ledger);
    skin::applySkin(window, base::defaultSkinPath());
    window->setMonth(month);
    window->displayStock();
    window->show();
    QApplication::processEvents();
    window->grab().save(out + QStringLiteral("/stock-nosites.png"));
    QTimer::singleShot(0, window, [window, out] {
        stock::SiteSettingsDialog *dialog = window->siteDialog();
        dialog->chartSiteBox->setText(QStringLiteral("ftp://charts.example"));
        dialog->okButton->click();
        QApplication::processEvents();
        dialog->grab().save(out + QStringLiteral("/stock-settings.png"));
        dialog->cancelButton->click();
    });
    window->settingsButton->click();
    window->close();
    QApplication::processEvents();
    return 0;
}
