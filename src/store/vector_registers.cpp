#include "vector_registers.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace zambrel::store {

namespace {

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void zeroUpperHalves()
{
    _mm256_zeroupper();
}
#endif

} // namespace

void clearVectorUpperHalves()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        zeroUpperHalves();
#endif
}

} // namespace zambrel::store
