// Renders the logon window and the main window, on a ledger of several
// months, in every shipped skin to PNG files: render_windows OUT_DIR.
#include "sample_ledger.h"

#include "ledger/ui/main_window.h"
#include "skin/caption_bar.h"
#include "skin/message_box.h"
#include "store/app_paths.h"
#include "store/clock.h"
#include "store/connection.h"
#include "store/message.h"
#include "store/mod_db.h"
#include "store/ui/logon_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace zambrel;

int main(int argc, char **argv)
{
    // A laptop-sized screen unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_windows OUT_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QTemporaryDir folder;
    store::setProgramFolder(folder.path());
    store::setSettingsFile(folder.filePath(QStringLiteral("settings.ini")));
    store::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(9, 30)); });
    store::setMessageResponder([](const store::MessageRequest &) { return int(store::vbYes); });

    testkit::openDefaultLedger();
    const double scales[] = {0.96, 1.0, 1.03, 0.99, 1.05};
    for (int month = 1; month <= 5; ++month)
        testkit::writeSampleMonth(QStringLiteral("2026-0%1").arg(month), scales[month - 1]);
    store::modDB::connection()->close();
    store::modDB::reset();

    QStringList skins =
        QDir(store::skinsFolder()).entryList({QStringLiteral("*.jss")}, QDir::Files, QDir::Name);
    if (skins.isEmpty())
        skins << QString();
    int index = 0;
    for (const QString &skinFile : skins) {
        const QString name = skinFile.isEmpty() ? QStringLiteral("noskin") : QString::number(++index);
        store::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"),
                           skinFile.isEmpty() ? QString()
                                              : store::skinsFolder() + QLatin1Char('/') + skinFile);
        auto *logon = new store::LogonWindow;
        logon->load();
        logon->show();
        QApplication::processEvents();
        logon->grab().save(out + QStringLiteral("/logon-%1.png").arg(name));
        ledger::MainWindow *window = nullptr;
        QObject::connect(logon, &store::LogonWindow::loggedOn, logon,
                         [&window] { window = ledger::openMainWindow(); });
        logon->logOn();
        delete logon;
        if (!window) {
            std::fprintf(stderr, "logon failed: %s\n", qPrintable(store::lastMessage().text));
            return 1;
        }
        window->captionBar->restore();
        window->setGeometry(0, 0, 1280, 780);
        QApplication::processEvents();
        window->grab().save(out + QStringLiteral("/main-%1.png").arg(name));
        std::printf("%s: %s\n", qPrintable(name), qPrintable(QFileInfo(skinFile).completeBaseName()));
        window->close();
        QApplication::processEvents();
        store::modDB::reset();
    }
    return 0;
}
