// The ledger key worked out here must be the engine's to the bit: checked on
// the published PBKDF2-HMAC-SHA1 vectors and against the crypto library's
// own routine where key lengths, long passwords and threads differ.
#include "store/key_derivation.h"
#include "store/sqlite_support.h"

#include <openssl/evp.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zambrel::store;

namespace {

std::span<const unsigned char> bytesOf(const std::string &text)
{
    return {reinterpret_cast<const unsigned char *>(text.data()), text.size()};
}

std::string hexOf(const std::vector<unsigned char> &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xf];
    }
    return hex;
}

std::vector<unsigned char> derived(const std::string &password, const std::string &salt, int rounds,
                                   std::size_t length)
{
    std::vector<unsigned char> key(length);
    pbkdf2HmacSha1(bytesOf(password), bytesOf(salt), rounds, key);
    return key;
}

} // namespace

TEST(KeyDerivation, MatchesThePublishedVectors)
{
    struct Vector {
        std::string password, salt;
        int rounds;
        std::size_t length;
        const char *key;
    };
    const Vector vectors[] = {
        {"password", "salt", 1, 20, "0c60c80f961f0e71f3a9b524af6012062fe037a6"},
        {"password", "salt", 2, 20, "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"},
        {"password", "salt", 4096, 20, "4b007901b765489abead49d926f721d065a429c1"},
        {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 25,
         "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"},
        {std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096, 16, "56fa6aa75548099dcc37d7f03425e0c3"},
    };
    for (const Vector &v : vectors)
        EXPECT_EQ(hexOf(derived(v.password, v.salt, v.rounds, v.length)), v.key) << v.password;
}

TEST(KeyDerivation, AgreesWithTheCryptoLibraryOnEveryShapeOfInput)
{
    // A password longer than SHA-1's block is hashed first; keys past 20
    // bytes take blocks worked out on other threads; the last block is cut.
    const std::string longPassword(150, 'p');
    const std::string ledgerSalt("\x8f\x01\x00\xfe salt of a ledger", 16);
    for (const std::string &password : {std::string("账本密码"), std::string(64, 'k'), longPassword}) {
        for (const std::size_t length : {1u, 20u, 32u, 41u, 64u}) {
            std::vector<unsigned char> expected(length);
            ASSERT_EQ(PKCS5_PBKDF2_HMAC(password.data(), int(password.size()),
                                        reinterpret_cast<const unsigned char *>(ledgerSalt.data()),
                                        int(ledgerSalt.size()), 1000, EVP_sha1(), int(length), expected.data()),
                      1);
            EXPECT_EQ(derived(password, ledgerSalt, 1000, length), expected) << password.size() << " " << length;
        }
    }
}

TEST(KeyDerivation, TheRawLedgerKeyIsTheEnginesHexForm)
{
    const QByteArray salt(kLedgerSaltBytes, '\x5a');
    const QByteArray raw = rawLedgerKey("bench password", salt);
    std::vector<unsigned char> key(kLedgerKeyBytes);
    PKCS5_PBKDF2_HMAC("bench password", 14, reinterpret_cast<const unsigned char *>(salt.constData()),
                      kLedgerSaltBytes, kLedgerKeyRounds, EVP_sha1(), kLedgerKeyBytes, key.data());
    EXPECT_EQ(raw.toStdString(), "x'" + hexOf(key) + "'");
    // For a new file the salt follows the key, for the file to take.
    EXPECT_EQ(rawLedgerKey("bench password", salt, true).toStdString(),
              "x'" + hexOf(key) + hexOf(std::vector<unsigned char>(kLedgerSaltBytes, 0x5a)) + "'");
}

// The keys a ledger keeps for its copies are the keys engineKey() derives;
// a new file never gets a salt drawn before, and a plain header never a key.
TEST(LedgerKeys, KeepWhatEachSaltDerivesAndNeverReuseASaltForANewFile)
{
    LedgerKeys keys;
    const QByteArray salt(kLedgerSaltBytes, '\x21');
    const QByteArray otherSalt(kLedgerSaltBytes, '\x42');
    const QByteArray expected = rawLedgerKey("pw", salt);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(keys.engineKey("pw", salt), expected);
        EXPECT_EQ(keys.engineKey("pw", otherSalt), rawLedgerKey("pw", otherSalt));
        EXPECT_EQ(keys.engineKey("other", salt), rawLedgerKey("other", salt));
        for (int wrong = 0; wrong < 10; ++wrong) // more than are kept
            keys.engineKey(QByteArray::number(wrong), salt);
    }
    keys.forget();
    EXPECT_EQ(keys.engineKey("pw", salt), expected);

    // A new file's key is kept under the salt drawn for it, for the file's
    // next opening.
    const QByteArray first = keys.engineKey("pw", {});
    const QByteArray second = keys.engineKey("pw", {});
    ASSERT_EQ(first.size(), 3 + 2 * (kLedgerKeyBytes + kLedgerSaltBytes));
    const int saltAt = 2 + 2 * kLedgerKeyBytes;
    EXPECT_NE(first.mid(saltAt), second.mid(saltAt)) << "each new file its own salt";
    const QByteArray drawn = QByteArray::fromHex(first.mid(saltAt, 2 * kLedgerSaltBytes));
    EXPECT_EQ(keys.engineKey("pw", drawn), first.left(saltAt) + '\'');
    EXPECT_EQ(keys.engineKey("pw", drawn), rawLedgerKey("pw", drawn));
    EXPECT_EQ(keys.engineKey("pw", QByteArray("SQLite format 3\0", 16)), "pw");
    EXPECT_EQ(keys.engineKey({}, salt), QByteArray());
}
