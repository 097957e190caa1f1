#pragma once

// Internal to the store library: the processor's vector registers, left as
// the engine's and the crypto library's code runs fastest.

namespace zambrel::store {

/// Marks the upper halves of the AVX registers unused (nothing where the
/// processor has no AVX). Qt's string hash leaves them in use, and a thread
/// made afterwards starts with them so. Recent Intel processors then make
/// every SSE instruction wait on them, and compiled C does its arithmetic in
/// SSE: behind any hash of a string the engine ran its queries at half
/// speed, and the crypto library's SHA-1 derived the ledger key at a third.
/// Called before the engine or the key derivation runs.
void clearVectorUpperHalves();

} // namespace zambrel::store
