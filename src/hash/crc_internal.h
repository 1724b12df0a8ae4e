// Shared between the portable CRC code and its x86 forms: the choice of path
// and the constants of folding with carry-less multiplication.
#ifndef QUILLHORN_CRC_INTERNAL_H
#define QUILLHORN_CRC_INTERNAL_H

#include <cstddef>
#include <cstdint>

namespace qh::crc_detail {

// The ways of computing a CRC, narrowest first: the portable tables, then
// folding 128, 256 or 512 bits at a time with carry-less multiplication.
enum class CrcPath { Tables, Pclmul128, Vpclmul256, Vpclmul512 };

// Whether this processor has what `path` needs (never, for the folding paths,
// while QUILLHORN_PORTABLE is set or on other architectures).
bool PathAvailable(CrcPath path);

inline constexpr CrcPath kWidestPath = CrcPath::Vpclmul512;

// Test hook: the widest path the CRCs may take from now on (they take the
// widest available one up to it). The default is kWidestPath.
void SetWidestPath(CrcPath path);

// Folding treats every CRC as one of degree 32: a CRC of width w with
// polynomial G has, in the top w bits of a 32-bit register, the register of
// the CRC of polynomial G * x^(32-w) (both are the message times x^w mod G,
// the second shifted left by 32 - w). So CRC-16/ARC folds with 8005 * x^16,
// CRC-CCITT with 1021 * x^16, CRC-32 with 04C11DB7 as it is.
//
// Polynomials here include their x^32 term (bit 32). "Forward" CRCs take the
// first bit of the message as the highest power of x; the folding code
// byte-swaps each 16-byte lane so that the lane holds the polynomial as a
// 128-bit integer. "Reflected" CRCs take the first bit as the lowest bit of a
// little-endian lane, so the lane holds the polynomial bit-reversed, and a
// carry-less product of two bit-reversed 64-bit halves is the bit-reversed
// product shifted right by one; the reflected constants make up for that.
struct FoldPair {
    std::uint64_t lo, hi; // the multipliers of the low and the high 64 bits of a lane
};

struct alignas(64) FoldConstants {
    FoldPair lanes[4]; // four lanes of 512 bits into the last: by 384, 256, 128 bits, and 0 (the last stays)
    FoldPair by256, by512, by1024, by2048; // a lane forward by that many bits
    FoldPair reduce;                       // 128 to 96 bits, 96 to 64 bits (x^96 and x^64)
    FoldPair barrett;                      // floor(x^64 / P) and P: 64 bits to the 32-bit register
    bool reflected;
};

namespace fold {

// x^e mod P, a polynomial of degree below 32.
constexpr std::uint64_t XPowMod(unsigned e, std::uint64_t poly) {
    std::uint64_t r = 1;
    for (unsigned i = 0; i < e; ++i) {
        r <<= 1;
        if (r & (std::uint64_t{1} << 32))
            r ^= poly;
    }
    return r;
}

// floor(x^64 / P) by long division, a quotient bit for each power from x^32
// down to x^0; the 33 bits under division slide along the zeros of x^64.
constexpr std::uint64_t BarrettQuotient(std::uint64_t poly) {
    std::uint64_t quotient = 0, window = std::uint64_t{1} << 32;
    for (int bit = 32; bit >= 0; --bit) {
        if (window & (std::uint64_t{1} << 32)) {
            quotient |= std::uint64_t{1} << bit;
            window ^= poly;
        }
        window <<= 1;
    }
    return quotient;
}

constexpr std::uint64_t Reverse(std::uint64_t value, int bits) {
    std::uint64_t out = 0;
    for (int i = 0; i < bits; ++i)
        out |= ((value >> i) & 1) << (bits - 1 - i);
    return out;
}

// The multipliers that move a lane (128 bits A * x^64 + B) forward by d bits:
// A * x^(d+64) + B * x^d mod P. Reflected, each multiplier is one power lower
// (the product brings the missing x) and bit-reversed in 64 bits.
constexpr FoldPair By(unsigned d, std::uint64_t poly, bool reflected) {
    if (reflected)
        return {Reverse(XPowMod(d + 63, poly), 64), Reverse(XPowMod(d - 1, poly), 64)};
    return {XPowMod(d, poly), XPowMod(d + 64, poly)};
}

} // namespace fold

// The constants of a CRC of polynomial `poly` (with its x^32 bit), worked out
// by the compiler. The final reduction takes a lane V to V * x^32 mod P, the
// register: the high 64 bits times x^96 mod P plus the low ones times x^32
// (96 bits), the top 32 of those times x^64 mod P plus the rest (64 bits), and
// Barrett reduction, whose quotient floor(U / P) of a 64-bit U is the top 32
// bits of (U div x^32) * floor(x^64 / P).
constexpr FoldConstants MakeFoldConstants(std::uint64_t poly, bool reflected) {
    using namespace fold;
    FoldConstants c{};
    c.lanes[0] = By(384, poly, reflected);
    c.lanes[1] = By(256, poly, reflected);
    c.lanes[2] = By(128, poly, reflected);
    c.lanes[3] = {0, 0};
    c.by256 = By(256, poly, reflected);
    c.by512 = By(512, poly, reflected);
    c.by1024 = By(1024, poly, reflected);
    c.by2048 = By(2048, poly, reflected);
    const std::uint64_t mu = BarrettQuotient(poly);
    if (reflected) {
        c.reduce = {Reverse(XPowMod(95, poly), 64), Reverse(XPowMod(63, poly), 64)};
        c.barrett = {Reverse(mu, 33), Reverse(poly, 33)};
    } else {
        c.reduce = {XPowMod(64, poly), XPowMod(96, poly)};
        c.barrett = {mu, poly};
    }
    c.reflected = reflected;
    return c;
}

#if defined(__x86_64__)
// The 32-bit register (as above: reflected, or with a 16-bit register in its
// top half) after `data`. `length` is a multiple of 16 and at least 128 bytes
// (256 for the 512-bit path). Each needs its path available.
std::uint32_t FoldPclmul128(const FoldConstants& k, std::uint32_t reg, const std::uint8_t* data, std::size_t length);
std::uint32_t FoldVpclmul256(const FoldConstants& k, std::uint32_t reg, const std::uint8_t* data, std::size_t length);
std::uint32_t FoldVpclmul512(const FoldConstants& k, std::uint32_t reg, const std::uint8_t* data, std::size_t length);
#endif

} // namespace qh::crc_detail

#endif
