// The bitsliced DES block function over 64, 256 or 512 blocks at a time.
//
// One generic kernel serves every width: V is a 64-bit integer or a vector of
// them (the compiler's vector extension), and each lane of V carries 64
// blocks. The kernel is inlined into one entry function per width, compiled
// for that instruction set by a function attribute, and the entry is chosen
// at run time.
//
// Into slices and back: 64 rows of V are loaded (row i, lane g holds block
// L*i + g for L lanes), and each lane's 64x64 bit matrix is transposed in six
// rounds of masked swaps, so that slice q holds bit q (from the least
// significant) of each block read as a little-endian 64-bit word. The
// transposition is its own inverse and takes the slices back to blocks.
#include "des_slice.h"

#include "cpu_features.h"
#include "des_sbox_circuits.h"
#include "des_tables.h"

#include <atomic>
#include <bit>
#include <cstring>

namespace qh::des_slice {
namespace {

using des_tables::kE;
using des_tables::kIp;
using des_tables::kP;

// Each bit of the 16 round keys as 0 or all ones, S-box inputs in order.
using RoundKeys = std::uint64_t[16][48];

void ExpandKeys(const std::uint32_t* subkeys, RoundKeys& keys) {
    for (int round = 0; round < 16; ++round) {
        for (int box = 0; box < 8; ++box) {
            const std::uint32_t group = (subkeys[2 * round + (box & 1)] >> (24 - 8 * (box >> 1))) & 63;
            for (int bit = 0; bit < 6; ++bit)
                keys[round][6 * box + bit] = 0 - std::uint64_t{(group >> (5 - bit)) & 1};
        }
    }
}

// The slice of DES bit n (1-based, bit 1 the most significant of the first byte).
constexpr int SliceOf(int n) {
    return 8 * ((n - 1) / 8) + 7 - (n - 1) % 8;
}

struct Wiring {
    // Slice of bit i of L0 R0 (i < 32: L0), and of the final permutation's input R16 L16.
    std::uint8_t ip[64];
    // Where S-box output bit m (0-based over S1 to S8, four each) lands in L after P.
    std::uint8_t afterP[32];
};

constexpr Wiring MakeWiring() {
    Wiring w{};
    for (int i = 0; i < 64; ++i)
        w.ip[i] = static_cast<std::uint8_t>(SliceOf(kIp[i]));
    for (int i = 0; i < 32; ++i)
        w.afterP[kP[i] - 1] = static_cast<std::uint8_t>(i);
    return w;
}

constexpr Wiring kWiring = MakeWiring();

// Vectors are passed by reference only: by value, their calling convention
// would depend on the instruction set.
template <typename V> QH_DES_INLINE void Load(V& v, const std::uint8_t* p) {
    std::memcpy(&v, p, sizeof v);
    if constexpr (sizeof(V) == 8 && std::endian::native == std::endian::big)
        v = __builtin_bswap64(v);
}

template <typename V> QH_DES_INLINE void Store(std::uint8_t* p, const V& v) {
    V out = v;
    if constexpr (sizeof(V) == 8 && std::endian::native == std::endian::big)
        out = __builtin_bswap64(out);
    std::memcpy(p, &out, sizeof out);
}

// Transposes the 64x64 bit matrix of every lane: bit b of row i goes to bit i
// of row b. Each round swaps the off-diagonal quarters of blocks half as wide
// as the last round's.
template <typename V> QH_DES_INLINE void Transpose(V* rows) {
    std::uint64_t mask = 0x00000000FFFFFFFF;
    for (int width = 32; width != 0; width >>= 1, mask ^= mask << width) {
        for (int k = 0; k < 64; k = ((k | width) + 1) & ~width) {
            const V t = ((rows[k] >> width) ^ rows[k | width]) & mask;
            rows[k] ^= t << width;
            rows[k | width] ^= t;
        }
    }
}

// S-box n of one round: inputs E(R) XOR the round key, outputs XORed into L through P.
#define QH_DES_SBOX(n)                                                                                                 \
    Sbox##n(R[kE[6 * n - 6] - 1] ^ key[6 * n - 6], R[kE[6 * n - 5] - 1] ^ key[6 * n - 5],                              \
            R[kE[6 * n - 4] - 1] ^ key[6 * n - 4], R[kE[6 * n - 3] - 1] ^ key[6 * n - 3],                              \
            R[kE[6 * n - 2] - 1] ^ key[6 * n - 2], R[kE[6 * n - 1] - 1] ^ key[6 * n - 1],                              \
            L[kWiring.afterP[4 * n - 4]], L[kWiring.afterP[4 * n - 3]], L[kWiring.afterP[4 * n - 2]],                  \
            L[kWiring.afterP[4 * n - 1]])

// L ^= f(R, key).
template <typename V> QH_DES_INLINE void Round(V* L, const V* R, const std::uint64_t* key) {
    QH_DES_SBOX(1);
    QH_DES_SBOX(2);
    QH_DES_SBOX(3);
    QH_DES_SBOX(4);
    QH_DES_SBOX(5);
    QH_DES_SBOX(6);
    QH_DES_SBOX(7);
    QH_DES_SBOX(8);
}

#undef QH_DES_SBOX

// Enciphers `slices` runs of 64 * lanes blocks in place.
template <typename V> QH_DES_INLINE void Run(std::uint8_t* data, std::size_t slices, const RoundKeys& keys) {
    for (; slices > 0; --slices, data += 64 * sizeof(V)) {
        V rows[64];
        for (int i = 0; i < 64; ++i)
            Load(rows[i], data + i * sizeof(V));
        Transpose(rows);
        // The initial permutation is a choice of slices; the halves take turns as L.
        V halves[64];
        for (int i = 0; i < 64; ++i)
            halves[i] = rows[kWiring.ip[i]];
        for (int round = 0; round < 16; round += 2) {
            Round(halves, halves + 32, keys[round]);
            Round(halves + 32, halves, keys[round + 1]);
        }
        // The final permutation takes R16 L16, the inverse of the initial one.
        for (int i = 0; i < 64; ++i)
            rows[kWiring.ip[i]] = halves[i ^ 32];
        Transpose(rows);
        for (int i = 0; i < 64; ++i)
            Store(data + i * sizeof(V), rows[i]);
    }
}

void RunPortable(std::uint8_t* data, std::size_t slices, const RoundKeys& keys) {
    Run<std::uint64_t>(data, slices, keys);
}

#if defined(__x86_64__)
using V4 = std::uint64_t __attribute__((vector_size(32)));
using V8 = std::uint64_t __attribute__((vector_size(64)));

__attribute__((target("avx2"))) void RunAvx2(std::uint8_t* data, std::size_t slices, const RoundKeys& keys) {
    Run<V4>(data, slices, keys);
}

__attribute__((target("avx2,avx512f,avx512bw,avx512vl"))) void RunAvx512(std::uint8_t* data, std::size_t slices,
                                                                         const RoundKeys& keys) {
    Run<V8>(data, slices, keys);
}
#endif

struct Kernel {
    void (*run)(std::uint8_t*, std::size_t, const RoundKeys&);
    std::size_t width; // blocks per slice
    std::size_t from;  // fewest blocks worth a slice
};

// Below the cut-off the table code is faster than one slice, whose cost does
// not depend on how many of its blocks are used. Measured: a slice of any of
// the three widths costs about as much as 21 to 24 blocks of the table code.
Kernel KernelOf(Path path) {
    switch (path) {
    case Path::Portable:
        return {RunPortable, 64, 24};
#if defined(__x86_64__)
    case Path::Avx2:
        return {RunAvx2, 256, 24};
    case Path::Avx512:
        return {RunAvx512, 512, 24};
#else
    case Path::Avx2:
    case Path::Avx512:
#endif
    case Path::Table:
        break;
    }
    return {nullptr, 0, 0};
}

std::atomic<Path> widestAllowed{Path::Avx512};

} // namespace

Path Supported() {
#if defined(__x86_64__)
    const CpuFeatures& cpu = GetCpuFeatures();
    if (cpu.avx512)
        return Path::Avx512;
    if (cpu.avx2)
        return Path::Avx2;
#endif
    return Path::Portable;
}

void SetWidestPath(Path widest) {
    widestAllowed.store(widest, std::memory_order_relaxed);
}

Path Active() {
    const Path allowed = widestAllowed.load(std::memory_order_relaxed);
    const Path supported = Supported();
    return allowed < supported ? allowed : supported;
}

std::size_t SliceBlocks(Path path) {
    return KernelOf(path).width;
}

std::size_t SliceFrom(Path path) {
    return KernelOf(path).from;
}

std::size_t Process(std::uint8_t* data, std::size_t blocks, const std::uint32_t* subkeys) {
    const Kernel kernel = KernelOf(Active());
    if (kernel.run == nullptr || blocks < kernel.from)
        return 0;
    RoundKeys keys;
    ExpandKeys(subkeys, keys);
    const std::size_t slices = blocks / kernel.width;
    kernel.run(data, slices, keys);
    const std::size_t done = slices * kernel.width;
    const std::size_t rest = blocks - done;
    if (rest < kernel.from)
        return done;
    // The remainder goes through one slice in a copy, padded with zero blocks.
    alignas(64) std::uint8_t scratch[512 * 8] = {};
    std::memcpy(scratch, data + 8 * done, 8 * rest);
    kernel.run(scratch, 1, keys);
    std::memcpy(data + 8 * done, scratch, 8 * rest);
    return blocks;
}

} // namespace qh::des_slice
