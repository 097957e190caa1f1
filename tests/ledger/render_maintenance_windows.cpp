// Renders the month picker and the change-password window in every shipped
// skin to PNG files for looking at them (not a test):
//   render_maintenance_windows OUT_DIR
#include "input/month_picker/ui/month_picker_window.h"
#include "ledger/maintenance/ui/change_password_window.h"
#include "skin/apply_skin.h"
#include "store/app_paths.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

using namespace zambrel;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_maintenance_windows OUT_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Zambrel.mdb"));
    store::createLedger(path);
    store::Ledger books(path, QString());
    for (int month = 1; month <= 16; ++month) {
        store::Item item;
        item.type = QStringLiteral("工资");
        item.name = QStringLiteral("salary");
        books.addItem(QDate(2025, 1, 1).addMonths(month - 1).toString(QStringLiteral("yyyy-MM")), item);
    }

    QStringList skins =
        QDir(store::skinsFolder()).entryList({QStringLiteral("*.jss")}, QDir::Files, QDir::Name);
    skins.prepend(QString());
    int index = 0;
    for (const QString &skinFile : skins) {
        const QString name = skinFile.isEmpty() ? QStringLiteral("noskin") : QString::number(++index);
        const QString skinPath =
            skinFile.isEmpty() ? QString() : store::skinsFolder() + QLatin1Char('/') + skinFile;

        input::MonthPickerWindow picker;
        picker.loadMonths([&books] { return books.allMonthsTable(); });
        skin::applySkin(&picker, skinPath);
        picker.show();
        picker.monthList->setFocus();
        picker.monthList->setCurrentItem(picker.monthList->topLevelItem(2));
        QApplication::processEvents();
        picker.grab().save(out + QStringLiteral("/month-picker-%1.png").arg(name));

        ledger::ChangePasswordWindow password(books);
        skin::applySkin(&password, skinPath);
        password.show();
        password.passwordBoxes[0]->setText(QStringLiteral("secret"));
        password.passwordBoxes[1]->setFocus();
        QApplication::processEvents();
        password.grab().save(out + QStringLiteral("/change-password-%1.png").arg(name));
        std::printf("%s: %s\n", qPrintable(name), qPrintable(skinFile));
    }
    return 0;
}
