// Renders the logon window and the main window, on a ledger of several
// months, in every shipped skin to PNG files: render_windows OUT_DIR.
#include "sample_ledger.h"

#include "input/ui/entry_dialog.h"
#include "ledger/ui/main_window.h"
#include "skin/apply_skin.h"
#include "skin/caption_bar.h"
#include "skin/message_box.h"
#include "store/app_paths.h"
#include "store/clock.h"
#include "store/connection.h"
#include "store/ledger.h"
#include "store/message.h"
#include "store/ui/logon_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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
        std::fprintf(stderr, "usage: render_windows OUT_DIR [DATA_DIR]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    // A data folder may be named (it should be empty), so that two renderings
    // show the same ledger path and can be compared pixel by pixel.
    QTemporaryDir temporary;
    const QDir folder(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    folder.mkpath(QStringLiteral("."));
    store::setProgramFolder(folder.path());
    store::setSettingsFile(folder.filePath(QStringLiteral("settings.ini")));
    store::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(9, 30)); });
    store::setMessageResponder([](const store::MessageRequest &) { return int(store::vbYes); });

    const double scales[] = {0.96, 1.0, 1.03, 0.99, 1.05};
    for (int month = 1; month <= 5; ++month)
        testkit::writeSampleMonth(QStringLiteral("2026-0%1").arg(month), scales[month - 1]);

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
                         [&window](std::shared_ptr<store::Ledger> books) {
                             window = ledger::openMainWindow(std::move(books));
                         });
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
        {
            input::EntryDialog dialog;
            window->followSkin(&dialog);
            dialog.setTypeList(window->typeList());
            dialog.setCaptions(QStringLiteral("新活动 "), QStringLiteral("确认新活动New"));
            dialog.applyCategoryMask(QStringLiteral("1100"));
            dialog.show();
            QApplication::processEvents();
            dialog.grab().save(out + QStringLiteral("/entry-%1.png").arg(name));
        }
        for (int style : {0, 4, 16, 36, 64}) {
            skin::MessageBox *box = skin::messageBox();
            box->setButtonStyle(style);
            box->setWindowTitle(QStringLiteral("Zambrel"));
            box->captionBar->setTitle(QStringLiteral("Zambrel"));
            box->setMessage(QStringLiteral("月结处:\r\n\r\n每个月的数据将自动转结。\r\n\r\n是否要月结?"));
            box->show();
            QApplication::processEvents();
            box->grab().save(out + QStringLiteral("/message-%1-%2.png").arg(name).arg(style));
            box->hide();
        }
        std::printf("%s: %s\n", qPrintable(name), qPrintable(QFileInfo(skinFile).completeBaseName()));
        window->close();
        QApplication::processEvents();
    }

    // The stored ledger is gone and no skin can be read: the hint line, on
    // the plain built-in look.
    store::saveSetting(QStringLiteral("DB"), QStringLiteral("DB"),
                       folder.filePath(QStringLiteral("usb/books.mdb")));
    store::saveSetting(QStringLiteral("skin"), QStringLiteral("skin"),
                       folder.filePath(QStringLiteral("broken.jss")));
    QFile broken(folder.filePath(QStringLiteral("broken.jss")));
    broken.open(QIODevice::WriteOnly);
    broken.write("not a skin");
    broken.close();
    folder.mkpath(QStringLiteral("no-skins"));
    store::setSkinsFolder(folder.filePath(QStringLiteral("no-skins")));
    {
        store::LogonWindow logon;
        logon.load();
        logon.show();
        QApplication::processEvents();
        logon.grab().save(out + QStringLiteral("/logon-hint-plain.png"));
    }
    return 0;
}
