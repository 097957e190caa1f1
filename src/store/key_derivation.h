#pragma once

// Internal to the store library: a ledger's key, derived from its password
// exactly as the engine derives it (PBKDF2 with HMAC-SHA1, 64,000 rounds,
// 32 bytes, the file's first 16 bytes as salt). The crypto library's general
// routine allocates and copies a digest context on every round; done here
// over the bare SHA-1 compression, the same key takes a third of the work,
// and what a person waits for after Enter is mostly this derivation.

#include <QByteArray>

#include <span>

namespace zambrel::store {

inline constexpr int kLedgerKeyRounds = 64000;
inline constexpr int kLedgerKeyBytes = 32;
inline constexpr int kLedgerSaltBytes = 16;

/// PBKDF2 with HMAC-SHA1 (RFC 8018) of `password` and `salt` over `rounds`
/// rounds, filling `key`. Each 20-byte block past the first is worked out on
/// a thread of its own.
void pbkdf2HmacSha1(std::span<const unsigned char> password, std::span<const unsigned char> salt, int rounds,
                    std::span<unsigned char> key);

/// The engine's raw-key form, x'…' in hexadecimal, of the key for `password`
/// on a ledger whose file begins with `salt` (kLedgerSaltBytes bytes). With
/// `saltIncluded` the salt follows the key inside the form, and a new, empty
/// file takes it as its own at its first write. The caller wipes it after use.
QByteArray rawLedgerKey(const QByteArray &password, const QByteArray &salt, bool saltIncluded = false);

/// kLedgerSaltBytes bytes from the crypto library's random generator, as the
/// engine draws a new file's salt. @throws DbError when it has none to give.
QByteArray newLedgerSalt();

/// Overwrites `bytes` with zeros in a way the compiler keeps.
void wipe(QByteArray &bytes);

} // namespace zambrel::store
