// CRC-32 by folding with carry-less multiplication: four 128-bit lanes are
// multiplied forward by x^512 and x^576 (mod P) and merged with the next 64
// bytes, then folded into one lane, reduced to 64 bits and finally to the 32-bit
// register by Barrett reduction. All constants are for the reflected form of
// 04C11DB7; each is x^k mod P, bit-reversed and shifted left by one.
#include "crc_internal.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace qh::crc_detail {
namespace {

alignas(16) constexpr std::uint64_t kFold4[2] = {0x0154442BD4, 0x01C6E41596};   // x^(4*128+32), x^(4*128-32)
alignas(16) constexpr std::uint64_t kFold1[2] = {0x01751997D0, 0x00CCAA009E};   // x^(128+32), x^(128-32)
alignas(16) constexpr std::uint64_t kFold64[2] = {0x0163CD6124, 0};             // x^64
alignas(16) constexpr std::uint64_t kBarrett[2] = {0x01DB710641, 0x01F7011641}; // P', mu

#define QH_PCLMUL __attribute__((target("pclmul,sse4.1")))

QH_PCLMUL inline __m128i Fold(__m128i lane, __m128i k, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(lane, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

QH_PCLMUL inline __m128i Load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

} // namespace

QH_PCLMUL std::uint32_t Crc32Pclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t length) {
    __m128i x1 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(data + 16);
    __m128i x3 = Load(data + 32);
    __m128i x4 = Load(data + 48);
    data += 64;
    length -= 64;

    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
    for (; length >= 64; length -= 64, data += 64) {
        x1 = Fold(x1, k, Load(data));
        x2 = Fold(x2, k, Load(data + 16));
        x3 = Fold(x3, k, Load(data + 32));
        x4 = Fold(x4, k, Load(data + 48));
    }

    k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
    x1 = Fold(x1, k, x2);
    x1 = Fold(x1, k, x3);
    x1 = Fold(x1, k, x4);
    for (; length >= 16; length -= 16, data += 16)
        x1 = Fold(x1, k, Load(data));

    // 128 bits to 64.
    const __m128i mask32 = _mm_setr_epi32(~0, 0, ~0, 0);
    __m128i x2r = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
    x2r = _mm_srli_si128(x1, 4);
    x1 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k, 0x00);
    x1 = _mm_xor_si128(x1, x2r);

    // Barrett reduction to 32 bits.
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k, 0x10);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x2r, mask32), k, 0x00);
    x1 = _mm_xor_si128(x1, x2r);
    return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

#undef QH_PCLMUL

} // namespace qh::crc_detail

#endif
