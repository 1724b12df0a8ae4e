// The 128-bit steps of CRC folding that every vector width ends with: loading
// a lane, folding it forward, and reducing the last lane to the register.
// Only the CRC's x86 files include this.
#ifndef QUILLHORN_CRC_X86_H
#define QUILLHORN_CRC_X86_H

#include "crc_internal.h"

#include <immintrin.h>

#define QH_PCLMUL __attribute__((target("pclmul,sse4.1,ssse3")))

namespace qh::crc_detail::x86 {

QH_PCLMUL inline __m128i LoadPair(const FoldPair& pair) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(&pair));
}

// The shuffle that reverses the bytes of a lane.
QH_PCLMUL inline __m128i ByteReversal() {
    return _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
}

// The 16 bytes at `p` as a lane: as they are for a reflected CRC, byte-swapped
// for a forward one so that the first byte is the most significant.
template <bool Reflected> QH_PCLMUL inline __m128i Load(const std::uint8_t* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if constexpr (Reflected)
        return bytes;
    else
        return _mm_shuffle_epi8(bytes, ByteReversal());
}

// The register as the first 32 bits of the message: it adds to them.
template <bool Reflected> QH_PCLMUL inline __m128i Initial(std::uint32_t reg) {
    return Reflected ? _mm_cvtsi32_si128(static_cast<int>(reg)) : _mm_setr_epi32(0, 0, 0, static_cast<int>(reg));
}

// `lane` moved forward by the distance of `k`, plus `next`.
QH_PCLMUL inline __m128i Fold(__m128i lane, __m128i k, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(lane, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// Folds the remaining 16-byte blocks of `p` (length a multiple of 16) into
// `lane` and reduces it to the 32-bit register.
template <bool Reflected>
QH_PCLMUL inline std::uint32_t Finish(const FoldConstants& c, __m128i lane, const std::uint8_t* p, std::size_t length) {
    const __m128i by128 = LoadPair(c.lanes[2]);
    for (; length != 0; length -= 16, p += 16)
        lane = Fold(lane, by128, Load<Reflected>(p));

    const __m128i reduce = LoadPair(c.reduce), barrett = LoadPair(c.barrett);
    if constexpr (Reflected) {
        // Bit-reversed: the high part of each value is at the low end.
        // 128 to 96 bits: the first half times x^96, the second times x^32.
        const __m128i t =
            _mm_xor_si128(_mm_clmulepi64_si128(lane, reduce, 0x00), _mm_slli_si128(_mm_srli_si128(lane, 8), 4));
        // 96 to 64 bits (left in the high half): the first 32 times x^64.
        const __m128i u = _mm_srli_si128(_mm_xor_si128(_mm_clmulepi64_si128(t, reduce, 0x10), t), 8);
        // Barrett: the quotient from the first 32 bits, then U + quotient * P.
        const __m128i low32 = _mm_setr_epi32(-1, 0, 0, 0);
        const __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(u, low32), barrett, 0x00);
        const __m128i product = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x10);
        return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(u, product), 1));
    } else {
        // 128 to 96 bits: the high half times x^96, the low one times x^32.
        const __m128i t =
            _mm_xor_si128(_mm_clmulepi64_si128(lane, reduce, 0x11), _mm_slli_si128(_mm_move_epi64(lane), 4));
        // 96 to 64 bits: the top 32 times x^64.
        const __m128i u = _mm_xor_si128(_mm_clmulepi64_si128(_mm_srli_si128(t, 8), reduce, 0x00), _mm_move_epi64(t));
        // Barrett: the quotient from the top 32 bits, then U + quotient * P.
        const __m128i quotient = _mm_srli_epi64(_mm_clmulepi64_si128(_mm_srli_epi64(u, 32), barrett, 0x00), 32);
        const __m128i product = _mm_clmulepi64_si128(quotient, barrett, 0x10);
        return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_xor_si128(u, product)));
    }
}

} // namespace qh::crc_detail::x86

#endif
