// Internals of the SHA family: the block functions of each engine, the choice
// between the accelerated and the portable ones, and big-endian helpers.
#ifndef QUILLHORN_SHA_INTERNAL_H
#define QUILLHORN_SHA_INTERNAL_H

#include <cstddef>
#include <cstdint>

namespace qh::sha {

// The 64 round constants of SHA-224 and SHA-256, shared by the portable and
// the SHA-NI block functions.
alignas(16) inline constexpr std::uint32_t kSha256Constants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// A block function compresses `blocks` consecutive blocks (64 bytes for SHA-1
// and SHA-224/256, 128 bytes for SHA-384/512) into the chaining words.
using Blocks32 = void (*)(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
using Blocks64 = void (*)(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks);

void Sha1BlocksPortable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha256BlocksPortable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha512BlocksPortable(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks);

#if defined(__x86_64__)
// The SHA extensions (SHA-NI); callable only where HasShaExtensions() holds.
void Sha1BlocksShaNi(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha256BlocksShaNi(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);
// The message schedule on vector units; callable only where HasAvx2() or
// HasAvx512() holds.
void Sha512BlocksAvx2(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks);
void Sha512BlocksAvx512(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks);
#endif

// True when the processor runs the SHA-NI block functions (sha, sse4.1, ssse3).
bool HasShaExtensions();
// True when the processor and the system run AVX2 code (with BMI2), and
// AVX-512VL code besides.
bool HasAvx2();
bool HasAvx512();

// The block functions in use: accelerated where the processor allows it,
// unless PortableOnly is set.
Blocks32 Sha1Blocks();
Blocks32 Sha256Blocks();
Blocks64 Sha512Blocks();

// Test hook: while set, hashers made afterwards use the portable block
// functions whatever the processor offers.
void SetPortableOnly(bool portable);

// Written as shifts so that they hold on any byte order; the compiler turns
// them into a load and a byte swap.
inline std::uint32_t LoadBe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}

inline std::uint64_t LoadBe64(const std::uint8_t* p) {
    return std::uint64_t{LoadBe32(p)} << 32 | LoadBe32(p + 4);
}

inline void StoreBe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

inline void StoreBe64(std::uint8_t* p, std::uint64_t v) {
    StoreBe32(p, static_cast<std::uint32_t>(v >> 32));
    StoreBe32(p + 4, static_cast<std::uint32_t>(v));
}

inline std::uint32_t Rotr32(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}
inline std::uint32_t Rotl32(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}
inline std::uint64_t Rotr64(std::uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

} // namespace qh::sha

#endif
