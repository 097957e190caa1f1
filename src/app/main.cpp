#include "store/app_paths.h"
#include "store/connection.h"
#include "store/db_error.h"
#include "store/ledger_schema.h"
#include "store/message.h"
#include "store/mod_db.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <memory>

using namespace zambrel;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zambrel"));

    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Folder of the ledgers."),
                                     QStringLiteral("DIR"));
    options.addOption(dataDir);
    options.process(app);
    if (options.isSet(dataDir))
        store::setProgramFolder(options.value(dataDir));

    // Until the logon window exists, messages use a plain box.
    store::setMessagePresenter([](const store::MessageRequest &request) {
        QMessageBox box(QMessageBox::Information, request.title, request.text);
        if (request.style & store::vbYesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? int(store::vbYes) : int(store::vbNo);
        }
        box.exec();
        return int(store::vbNo);
    });

    try {
        const QString ledger = store::ensureDefaultLedger();
        const QString connectionText = store::ledgerConnectionString(ledger, {});
        auto connection = std::make_shared<store::Connection>();
        connection->open(connectionText);
        store::modDB::setLedgerPath(ledger);
        store::modDB::setConnectionString(connectionText);
        store::modDB::setConnection(connection);
        store::showMessage(QStringLiteral("已打开账本 Ledger opened:\n") + ledger, store::vbInformation);
    } catch (const store::DbError &error) {
        store::showMessage(error.description(), store::vbCritical);
        return 1;
    }
    return 0;
}
