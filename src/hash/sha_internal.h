// Internals of the SHA family: the block functions of each engine, the choice
// between the accelerated and the portable ones, and big-endian helpers.
#ifndef QUILLHORN_SHA_INTERNAL_H
#define QUILLHORN_SHA_INTERNAL_H

#include <cstddef>
#include <cstdint>

namespace qh::sha {

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
