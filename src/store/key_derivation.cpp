#include "key_derivation.h"

#include "db_error.h"
#include "vector_registers.h"

// The crypto library deprecates its low-level SHA-1 calls in favour of its
// general interface, whose per-call context allocation is what this file
// avoids; the calls themselves are sound.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

namespace zambrel::store {

namespace {

constexpr std::size_t kShaBlock = 64;
constexpr std::size_t kDigest = SHA_DIGEST_LENGTH;

/// The HMAC states after the padded key: every round starts from a copy of
/// them instead of hashing the key again.
struct HmacStart {
    SHA_CTX inner;
    SHA_CTX outer;
};

HmacStart hmacStart(std::span<const unsigned char> password)
{
    std::array<unsigned char, kShaBlock> key{};
    if (password.size() > kShaBlock)
        SHA1(password.data(), password.size(), key.data());
    else
        std::copy(password.begin(), password.end(), key.begin());
    std::array<unsigned char, kShaBlock> pad{};
    HmacStart start{};
    for (std::size_t i = 0; i < kShaBlock; ++i)
        pad[i] = key[i] ^ 0x36;
    SHA1_Init(&start.inner);
    SHA1_Update(&start.inner, pad.data(), pad.size());
    for (std::size_t i = 0; i < kShaBlock; ++i)
        pad[i] = key[i] ^ 0x5c;
    SHA1_Init(&start.outer);
    SHA1_Update(&start.outer, pad.data(), pad.size());
    OPENSSL_cleanse(key.data(), key.size());
    OPENSSL_cleanse(pad.data(), pad.size());
    return start;
}

/// Block `index` (from 1) of the derived key, into `out` (up to 20 bytes).
void deriveBlock(const HmacStart &start, std::span<const unsigned char> salt, int rounds, std::uint32_t index,
                 std::span<unsigned char> out)
{
    clearVectorUpperHalves(); // per thread: the state is each thread's own
    const unsigned char count[4] = {static_cast<unsigned char>(index >> 24), static_cast<unsigned char>(index >> 16),
                                    static_cast<unsigned char>(index >> 8), static_cast<unsigned char>(index)};
    std::array<unsigned char, kDigest> u{};
    std::array<unsigned char, kDigest> sum{};
    SHA_CTX context = start.inner;
    SHA1_Update(&context, salt.data(), salt.size());
    SHA1_Update(&context, count, sizeof count);
    for (int round = 0; round < rounds; ++round) {
        if (round > 0) {
            context = start.inner;
            SHA1_Update(&context, u.data(), u.size());
        }
        SHA1_Final(u.data(), &context);
        context = start.outer;
        SHA1_Update(&context, u.data(), u.size());
        SHA1_Final(u.data(), &context);
        for (std::size_t i = 0; i < kDigest; ++i)
            sum[i] ^= u[i];
    }
    std::copy_n(sum.begin(), out.size(), out.begin());
    OPENSSL_cleanse(&context, sizeof context);
    OPENSSL_cleanse(u.data(), u.size());
    OPENSSL_cleanse(sum.data(), sum.size());
}

std::span<const unsigned char> bytesOf(const QByteArray &bytes)
{
    return {reinterpret_cast<const unsigned char *>(bytes.constData()), std::size_t(bytes.size())};
}

} // namespace

void pbkdf2HmacSha1(std::span<const unsigned char> password, std::span<const unsigned char> salt, int rounds,
                    std::span<unsigned char> key)
{
    HmacStart start = hmacStart(password);
    const std::size_t blocks = (key.size() + kDigest - 1) / kDigest;
    const auto blockOut = [&](std::size_t block) {
        return key.subspan(block * kDigest, std::min(kDigest, key.size() - block * kDigest));
    };
    {
        std::vector<std::jthread> helpers;
        for (std::size_t block = 1; block < blocks; ++block) {
            const auto work = [&, block] {
                deriveBlock(start, salt, rounds, std::uint32_t(block + 1), blockOut(block));
            };
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error &) {
                work(); // no thread to be had: the same block here
            }
        }
        if (blocks > 0)
            deriveBlock(start, salt, rounds, 1, blockOut(0));
    }
    OPENSSL_cleanse(&start, sizeof start);
}

QByteArray rawLedgerKey(const QByteArray &password, const QByteArray &salt, bool saltIncluded)
{
    std::array<unsigned char, kLedgerKeyBytes> key{};
    pbkdf2HmacSha1(bytesOf(password), bytesOf(salt), kLedgerKeyRounds, key);
    static constexpr char kHex[] = "0123456789abcdef";
    QByteArray raw;
    raw.reserve(3 + 2 * (kLedgerKeyBytes + kLedgerSaltBytes));
    raw += "x'";
    const auto appendHex = [&raw](unsigned char byte) {
        raw += kHex[byte >> 4];
        raw += kHex[byte & 0xf];
    };
    for (const unsigned char byte : key)
        appendHex(byte);
    if (saltIncluded) {
        for (const char byte : salt)
            appendHex(static_cast<unsigned char>(byte));
    }
    raw += '\'';
    OPENSSL_cleanse(key.data(), key.size());
    return raw;
}

QByteArray newLedgerSalt()
{
    QByteArray salt(kLedgerSaltBytes, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), kLedgerSaltBytes) != 1)
        throw DbError(ErrorKind::Other, QStringLiteral("没有随机数可用 No random numbers for a new ledger's salt"));
    return salt;
}

void wipe(QByteArray &bytes)
{
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), std::size_t(bytes.size()));
}

} // namespace zambrel::store
