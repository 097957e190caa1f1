#include "skin_art.h"
#include "skin_description.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

// zambrel_skinmaker <description> <skin.jss>: draws a skin from a short
// description and writes it as a skin file.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: zambrel_skinmaker <description> <skin.jss>\n");
        return 2;
    }
    QFile input(args.at(1));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QString error;
    const auto description = zambrel::skinmaker::parseDescription(QString::fromUtf8(input.readAll()), &error);
    if (!description) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args.at(1)), qPrintable(error));
        return 1;
    }
    zambrel::skin::SkinWriter writer;
    zambrel::skinmaker::drawSkin(*description, writer);
    if (!writer.save(args.at(2))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
