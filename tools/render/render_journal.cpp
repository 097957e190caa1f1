// Renders the journal window on a ledger with a few pages, in every shipped
// skin, to PNG files: render_journal OUT_DIR.
#include "base/app_paths.h"
#include "base/clock.h"
#include "base/message.h"
#include "journal/ui/journal_window.h"
#include "skin/apply_skin.h"
#include "skin/interface_font.h"
#include "skin/message_box.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>

using namespace zambrel;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zambrel::skin::preferSimplifiedChineseFace();
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_journal OUT_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(9, 30)); });
    base::setMessageResponder([](const base::MessageRequest &) { return base::MessageAnswer::Yes; });

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("books.mdb"));
    store::createLedger(path);
    store::Ledger ledger(path, {});
    const char *days[] = {"2025-12-31", "2026-04-10", "2026-04-20", "2026-05-14"};
    for (const char *day : days) {
        store::JournalPage page;
        page.date = QString::fromLatin1(day);
        page.fields[0] = QStringLiteral("和朋友去爬山，天气很好。");
        page.fields[2] = QStringLiteral("1. 交房租\n2. 写周报\n3. 买菜");
        page.fields[4] = QStringLiteral("晴 25°C 7:30");
        page.fields[8] = QStringLiteral("梦见在海边骑车。");
        ledger.saveJournalPage(page);
    }

    QStringList skins =
        QDir(base::skinsFolder()).entryList({QStringLiteral("*.jss")}, QDir::Files, QDir::Name);
    skins.prepend(QString());
    for (const QString &skinFile : skins) {
        const QString name =
            skinFile.isEmpty() ? QStringLiteral("noskin") : QFileInfo(skinFile).completeBaseName();
        const QString skinPath =
            skinFile.isEmpty() ? QString() : base::skinsFolder() + QLatin1Char('/') + skinFile;
        journal::JournalWindow window(ledger);
        skin::applySkin(&window, skinPath);
        window.book().clickNode(QStringLiteral("T2026"));
        window.book().clickNode(QStringLiteral("T2026-04"));
        window.book().clickNode(QStringLiteral("T2026-04-20"));
        window.show();
        QApplication::processEvents();
        window.fieldBoxes[1]->setFocus();
        QApplication::processEvents();
        window.grab().save(out + QStringLiteral("/journal-%1.png").arg(name));
        window.searchBox->setText(QStringLiteral("海边"));
        Q_EMIT window.searchBox->returnPressed();
        QApplication::processEvents();
        window.grab().save(out + QStringLiteral("/journal-search-%1.png").arg(name));
        window.hide();

        // The unsaved-changes question in the same skin.
        base::setCurrentSkinPath(skinPath);
        skin::MessageBox question;
        const base::MessageRequest unsaved = journal::unsavedQuestion();
        question.setButtons(unsaved.buttons, unsaved.icon);
        question.setMessage(unsaved.text);
        question.show();
        QApplication::processEvents();
        question.grab().save(out + QStringLiteral("/journal-question-%1.png").arg(name));
        question.hide();
        std::printf("%s\n", qPrintable(name));
    }

    // A page with a pasted key of 6,000 characters, shown cut into display
    // lines, beside text that wraps as ever.
    store::JournalPage keyPage;
    keyPage.date = QStringLiteral("2026-05-15");
    keyPage.fields[2] =
        QStringLiteral("新的钥匙：\r\n") + QString::fromLatin1(QByteArray(3000, '\x5a').toHex());
    keyPage.fields[5] = QStringLiteral("今天把备份的钥匙抄进了日志，以后换电脑时用得着。");
    ledger.saveJournalPage(keyPage);
    journal::JournalWindow window(ledger);
    window.book().clickNode(QStringLiteral("T2026"));
    window.book().clickNode(QStringLiteral("T2026-05"));
    window.book().clickNode(QStringLiteral("T2026-05-15"));
    window.show();
    QApplication::processEvents();
    window.grab().save(out + QStringLiteral("/journal-long-line.png"));
    return 0;
}
