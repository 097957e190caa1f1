#include "skin/skin_file.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

// Feeds arbitrary bytes to the skin reader; it must never read outside them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_skin_reader";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    const auto bag = zambrel::skin::SkinBag::fromFileBytes(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    (void)bag.picture(QStringLiteral("TOPLEFT"));
    (void)bag.number(QStringLiteral("XOFFSET"));
    return 0;
}
