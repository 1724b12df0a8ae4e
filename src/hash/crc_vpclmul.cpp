// CRC folding 256 and 512 bits at a time with VPCLMULQDQ: the folding of the
// 128-bit path on two or four lanes per register at once. Four registers move
// forward by 1024 (2048) bits and take in the next 128 (256) bytes; then they
// fold into one register, its lanes into one lane, and crc_x86.h finishes.
#if defined(__x86_64__)

#include "crc_x86.h"

#define QH_VPCLMUL256 __attribute__((target("avx2,vpclmulqdq,pclmul,sse4.1,ssse3")))
#define QH_VPCLMUL512 __attribute__((target("avx512f,avx512bw,avx512vl,vpclmulqdq,pclmul,sse4.1,ssse3")))

namespace qh::crc_detail {
namespace {

using x86::Initial;
using x86::LoadPair;

// 256 bits: two lanes per register.

template <bool Reflected> QH_VPCLMUL256 inline __m256i Load256(const std::uint8_t* p) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    if constexpr (Reflected)
        return bytes;
    else
        return _mm256_shuffle_epi8(bytes, _mm256_broadcastsi128_si256(x86::ByteReversal()));
}

QH_VPCLMUL256 inline __m256i Fold256(__m256i lanes, __m256i k, __m256i next) {
    const __m256i low = _mm256_clmulepi64_epi128(lanes, k, 0x00);
    const __m256i high = _mm256_clmulepi64_epi128(lanes, k, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(low, high), next);
}

template <bool Reflected>
QH_VPCLMUL256 std::uint32_t Fold256Path(const FoldConstants& c, std::uint32_t reg, const std::uint8_t* p,
                                        std::size_t length) {
    __m256i x0 = _mm256_xor_si256(Load256<Reflected>(p), _mm256_zextsi128_si256(Initial<Reflected>(reg)));
    __m256i x1 = Load256<Reflected>(p + 32);
    __m256i x2 = Load256<Reflected>(p + 64);
    __m256i x3 = Load256<Reflected>(p + 96);
    p += 128;
    length -= 128;

    __m256i k = _mm256_broadcastsi128_si256(LoadPair(c.by1024));
    for (; length >= 128; length -= 128, p += 128) {
        x0 = Fold256(x0, k, Load256<Reflected>(p));
        x1 = Fold256(x1, k, Load256<Reflected>(p + 32));
        x2 = Fold256(x2, k, Load256<Reflected>(p + 64));
        x3 = Fold256(x3, k, Load256<Reflected>(p + 96));
    }

    // Into one register, which takes in what is left 32 bytes at a time.
    k = _mm256_broadcastsi128_si256(LoadPair(c.by256));
    x0 = Fold256(x0, k, x1);
    x0 = Fold256(x0, k, x2);
    x0 = Fold256(x0, k, x3);
    for (; length >= 32; length -= 32, p += 32)
        x0 = Fold256(x0, k, Load256<Reflected>(p));

    const __m128i lane = x86::Fold(_mm256_castsi256_si128(x0), LoadPair(c.lanes[2]), _mm256_extracti128_si256(x0, 1));
    return x86::Finish<Reflected>(c, lane, p, length);
}

// 512 bits: four lanes per register. The zero-masked forms of broadcast and
// extract stand in for the plain ones, whose "undefined" source GCC 12 takes
// for an uninitialised variable.

QH_VPCLMUL512 inline __m512i Broadcast512(__m128i lane) {
    return _mm512_maskz_broadcast_i32x4(0xFFFF, lane);
}

template <int Index> QH_VPCLMUL512 inline __m128i Extract(__m512i lanes) {
    return _mm512_maskz_extracti32x4_epi32(0xF, lanes, Index);
}

template <bool Reflected> QH_VPCLMUL512 inline __m512i Load512(const std::uint8_t* p) {
    const __m512i bytes = _mm512_loadu_si512(p);
    if constexpr (Reflected)
        return bytes;
    else
        return _mm512_shuffle_epi8(bytes, Broadcast512(x86::ByteReversal()));
}

QH_VPCLMUL512 inline __m512i Fold512(__m512i lanes, __m512i k, __m512i next) {
    const __m512i low = _mm512_clmulepi64_epi128(lanes, k, 0x00);
    const __m512i high = _mm512_clmulepi64_epi128(lanes, k, 0x11);
    return _mm512_ternarylogic_epi64(low, high, next, 0x96); // three-way exclusive or
}

template <bool Reflected>
QH_VPCLMUL512 std::uint32_t Fold512Path(const FoldConstants& c, std::uint32_t reg, const std::uint8_t* p,
                                        std::size_t length) {
    __m512i x0 = _mm512_xor_si512(Load512<Reflected>(p), _mm512_zextsi128_si512(Initial<Reflected>(reg)));
    __m512i x1 = Load512<Reflected>(p + 64);
    __m512i x2 = Load512<Reflected>(p + 128);
    __m512i x3 = Load512<Reflected>(p + 192);
    p += 256;
    length -= 256;

    __m512i k = Broadcast512(LoadPair(c.by2048));
    for (; length >= 256; length -= 256, p += 256) {
        x0 = Fold512(x0, k, Load512<Reflected>(p));
        x1 = Fold512(x1, k, Load512<Reflected>(p + 64));
        x2 = Fold512(x2, k, Load512<Reflected>(p + 128));
        x3 = Fold512(x3, k, Load512<Reflected>(p + 192));
    }

    // Into one register, which takes in what is left 64 bytes at a time.
    k = Broadcast512(LoadPair(c.by512));
    x0 = Fold512(x0, k, x1);
    x0 = Fold512(x0, k, x2);
    x0 = Fold512(x0, k, x3);
    for (; length >= 64; length -= 64, p += 64)
        x0 = Fold512(x0, k, Load512<Reflected>(p));

    // The first three lanes move forward onto the last one at once.
    const __m512i moves = _mm512_load_si512(c.lanes);
    const __m512i moved =
        _mm512_xor_si512(_mm512_clmulepi64_epi128(x0, moves, 0x00), _mm512_clmulepi64_epi128(x0, moves, 0x11));
    const __m128i lane = _mm_xor_si128(_mm_xor_si128(Extract<0>(moved), Extract<1>(moved)),
                                       _mm_xor_si128(Extract<2>(moved), Extract<3>(x0)));
    return x86::Finish<Reflected>(c, lane, p, length);
}

} // namespace

std::uint32_t FoldVpclmul256(const FoldConstants& k, std::uint32_t reg, const std::uint8_t* data, std::size_t length) {
    return k.reflected ? Fold256Path<true>(k, reg, data, length) : Fold256Path<false>(k, reg, data, length);
}

std::uint32_t FoldVpclmul512(const FoldConstants& k, std::uint32_t reg, const std::uint8_t* data, std::size_t length) {
    return k.reflected ? Fold512Path<true>(k, reg, data, length) : Fold512Path<false>(k, reg, data, length);
}

} // namespace qh::crc_detail

#endif
