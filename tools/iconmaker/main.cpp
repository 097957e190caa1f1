#include "icon_art.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

// zambrel_iconmaker <icons-folder> <name> <size>...: draws the program icon
// into an icon theme folder: <size>x<size>/apps/<name>.png for each size and
// scalable/apps/<name>.svg.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: zambrel_iconmaker <icons-folder> <name> <size>...\n");
        return 2;
    }
    const QDir root(args.at(1));
    const QString name = args.at(2);
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            std::fprintf(stderr, "not an icon size: %s\n", qPrintable(args.at(i)));
            return 2;
        }
        const QString folder = root.filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !zambrel::iconmaker::drawIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString folder = root.filePath(QStringLiteral("scalable/apps"));
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".svg");
    if (!QDir().mkpath(folder) || !writeFile(path, zambrel::iconmaker::iconSvg().toUtf8())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
