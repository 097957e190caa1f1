#pragma once

// A string of the program's own as a hash key: an item's key, a type's or a
// group's name. With a process's seed, Qt 6.4 hashes a string with AES
// instructions; on Intel processors with VAES it reads a short string with
// AVX-512 and then runs SSE instructions that wait on the vector registers,
// about 150 ns a string where its plain hash takes 10. Loading a month hashes
// every item's key, type and group several times, so these keys take the
// plain hash. It gives up the seed's guard against strings made to collide:
// strings read from files of other programs (bills) stay QString keys.

#include <QHashFunctions>
#include <QString>
#include <QStringView>

namespace zambrel::base {

struct TextKey {
    QString text;

    TextKey() = default;
    // Not explicit: lookups and inserts take the text itself.
    TextKey(const QString &from) : text(from) {}
    friend bool operator==(const TextKey &, const TextKey &) = default;
};

inline size_t qHash(const TextKey &key, size_t seed) noexcept
{
    return qHash(QStringView(key.text), 0) ^ seed;
}

} // namespace zambrel::base
