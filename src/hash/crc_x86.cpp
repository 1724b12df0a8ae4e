// CRC folding 128 bits at a time with PCLMULQDQ: eight lanes of 16 bytes move
// forward by 1024 bits (mod P) and take in the next 128 bytes; at the end they
// fold into one lane, which crc_x86.h reduces to the register.
#if defined(__x86_64__)

#include "crc_x86.h"

namespace qh::crc_detail {
namespace {

// Eight lanes rather than four: with the two-operand SSE forms each fold
// needs copies, and more independent lanes keep the multipliers busy.
constexpr int kLanes = 8;

template <bool Reflected>
QH_PCLMUL std::uint32_t Fold128(const FoldConstants& c, std::uint32_t reg, const std::uint8_t* p, std::size_t length) {
    using namespace x86;
    __m128i x[kLanes];
    for (int i = 0; i < kLanes; ++i)
        x[i] = Load<Reflected>(p + 16 * i);
    x[0] = _mm_xor_si128(x[0], Initial<Reflected>(reg));
    p += 16 * kLanes;
    length -= 16 * kLanes;

    const __m128i by1024 = LoadPair(c.by1024);
    for (; length >= 16 * kLanes; length -= 16 * kLanes, p += 16 * kLanes)
        for (int i = 0; i < kLanes; ++i)
            x[i] = Fold(x[i], by1024, Load<Reflected>(p + 16 * i));

    const __m128i by128 = LoadPair(c.lanes[2]);
    for (int i = 1; i < kLanes; ++i)
        x[0] = Fold(x[0], by128, x[i]);
    return Finish<Reflected>(c, x[0], p, length);
}

} // namespace

std::uint32_t FoldPclmul128(const FoldConstants& k, std::uint32_t reg, const std::uint8_t* data, std::size_t length) {
    return k.reflected ? Fold128<true>(k, reg, data, length) : Fold128<false>(k, reg, data, length);
}

} // namespace qh::crc_detail

#endif
