// libFuzzer target: the connection-string reader must never crash on any
// text, and whatever a path and a password hold, the string the logon builds
// from them must read back exactly those two values.
#include "store/connection_string.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace zambrel::store;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const ConnectionString any(text);
    (void)any.provider();
    (void)any.dataSource();
    (void)any.password();

    // The first NUL (or the middle) splits the input into a path and a password.
    qsizetype split = text.indexOf(QChar(u'\0'));
    if (split < 0)
        split = text.size() / 2;
    const QString path = text.left(split);
    const QString password = text.mid(split + (split < text.size() && text[split] == u'\0' ? 1 : 0));
    const ConnectionString built(ledgerConnectionString(path, password));
    if (built.dataSource() != path || built.password() != password)
        std::abort();
    return 0;
}
