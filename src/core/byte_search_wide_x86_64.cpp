#include <immintrin.h>

#include "core/byte_search_wide.h"

// Only these loops are compiled for AVX2, and only called where the processor has it (nearly
// every x86-64 one since 2013).

namespace {

// The 32 candidate starts at `p` of a filter whose bytes are splatted in `x` and `y`.
__attribute__((target("avx2"))) inline __m256i Candidates(const char* p, const WideFilter& f,
                                                          __m256i x, __m256i y) {
    const __m256i atFirst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + f.first));
    const __m256i atSecond = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + f.second));
    return _mm256_and_si256(_mm256_cmpeq_epi8(atFirst, x), _mm256_cmpeq_epi8(atSecond, y));
}

template <bool kTwo>
__attribute__((target("avx2"))) size_t Skip(const char* base, size_t start, size_t end,
                                            const WideFilter& a, const WideFilter& b) {
    const __m256i a1 = _mm256_set1_epi8(a.firstByte), a2 = _mm256_set1_epi8(a.secondByte);
    const __m256i b1 = _mm256_set1_epi8(b.firstByte), b2 = _mm256_set1_epi8(b.secondByte);
    for (; start + 64 <= end; start += 64) {
        const char* p = base + start;
        __m256i any = _mm256_or_si256(Candidates(p, a, a1, a2), Candidates(p + 32, a, a1, a2));
        if (kTwo) {
            any = _mm256_or_si256(any, Candidates(p, b, b1, b2));
            any = _mm256_or_si256(any, Candidates(p + 32, b, b1, b2));
        }
        if (!_mm256_testz_si256(any, any))
            break;
    }
    return start;
}

__attribute__((target("avx2"))) size_t SkipBack(const char* base, size_t end, char byte) {
    const __m256i wanted = _mm256_set1_epi8(byte);
    for (; end >= 64; end -= 64) {
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + end - 32));
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + end - 64));
        const __m256i any =
            _mm256_or_si256(_mm256_cmpeq_epi8(high, wanted), _mm256_cmpeq_epi8(low, wanted));
        if (!_mm256_testz_si256(any, any))
            break;
    }
    return end;
}

}  // namespace

bool HasWideCompares() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

size_t SkipQuietStepsWide(const char* base, size_t start, size_t end, const WideFilter& a,
                          const WideFilter* b) {
    return b ? Skip<true>(base, start, end, a, *b) : Skip<false>(base, start, end, a, a);
}

size_t SkipQuietStepsBackWide(const char* base, size_t end, char byte) {
    return SkipBack(base, end, byte);
}
