// The three CRCs, computed sixteen bytes at a time ("slicing by 16"): table k
// holds the register change of one byte followed by k zero bytes, so sixteen
// independent lookups replace sixteen dependent ones. The tables are built by
// the compiler. Where the processor multiplies without carries, all three
// fold long inputs instead (crc_internal.h, crc_x86.cpp, crc_vpclmul.cpp).
#include "crc.h"

#include "byte_source.h"
#include "cpu_features.h"
#include "crc_internal.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>

namespace qh {
namespace {

constexpr int kSlices = 16;
template <typename T> using Tables = std::array<std::array<T, 256>, kSlices>;

// Least significant bit first (reflected) tables of the reversed polynomial.
template <typename T> constexpr Tables<T> ReflectedTables(T reversedPoly) {
    Tables<T> tables{};
    for (unsigned i = 0; i < 256; ++i) {
        T r = static_cast<T>(i);
        for (int bit = 0; bit < 8; ++bit)
            r = static_cast<T>((r & 1) ? (r >> 1) ^ reversedPoly : r >> 1);
        tables[0][i] = r;
    }
    for (int k = 1; k < kSlices; ++k)
        for (unsigned i = 0; i < 256; ++i)
            tables[k][i] = static_cast<T>((tables[k - 1][i] >> 8) ^ tables[0][tables[k - 1][i] & 0xFF]);
    return tables;
}

// Most significant bit first tables of a 16-bit polynomial.
constexpr Tables<std::uint16_t> ForwardTables16(std::uint16_t poly) {
    Tables<std::uint16_t> tables{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t r = static_cast<std::uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            r = static_cast<std::uint16_t>((r & 0x8000) ? (r << 1) ^ poly : r << 1);
        tables[0][i] = r;
    }
    for (int k = 1; k < kSlices; ++k)
        for (unsigned i = 0; i < 256; ++i)
            tables[k][i] = static_cast<std::uint16_t>((tables[k - 1][i] << 8) ^ tables[0][tables[k - 1][i] >> 8]);
    return tables;
}

constexpr Tables<std::uint16_t> kArcTables = ReflectedTables<std::uint16_t>(0xA001);       // 8005 reversed
constexpr Tables<std::uint32_t> kCrc32Tables = ReflectedTables<std::uint32_t>(0xEDB88320); // 04C11DB7 reversed
constexpr Tables<std::uint16_t> kCcittTables = ForwardTables16(0x1021);

inline std::uint64_t LoadLittle64(const std::uint8_t* p) {
    std::uint64_t value;
    std::memcpy(&value, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        value = __builtin_bswap64(value);
    return value;
}

// The lookups of eight bytes, the first of which meets table First, the next
// table First - 1, and so on.
template <int First, typename T> inline T LookupReflected(const Tables<T>& t, std::uint64_t w) {
    return static_cast<T>(t[First][w & 0xFF] ^ t[First - 1][(w >> 8) & 0xFF] ^ t[First - 2][(w >> 16) & 0xFF] ^
                          t[First - 3][(w >> 24) & 0xFF] ^ t[First - 4][(w >> 32) & 0xFF] ^
                          t[First - 5][(w >> 40) & 0xFF] ^ t[First - 6][(w >> 48) & 0xFF] ^ t[First - 7][w >> 56]);
}

// The same for big-endian words: the first byte is the most significant.
template <int First> inline std::uint16_t LookupForward(const Tables<std::uint16_t>& t, std::uint64_t w) {
    return static_cast<std::uint16_t>(t[First][w >> 56] ^ t[First - 1][(w >> 48) & 0xFF] ^
                                      t[First - 2][(w >> 40) & 0xFF] ^ t[First - 3][(w >> 32) & 0xFF] ^
                                      t[First - 4][(w >> 24) & 0xFF] ^ t[First - 5][(w >> 16) & 0xFF] ^
                                      t[First - 6][(w >> 8) & 0xFF] ^ t[First - 7][w & 0xFF]);
}

// A reflected register: the first byte of the input meets the low byte.
template <typename T> T UpdateReflected(const Tables<T>& t, T crc, const std::uint8_t* p, std::size_t length) {
    for (; length >= 16; length -= 16, p += 16)
        crc =
            static_cast<T>(LookupReflected<15>(t, LoadLittle64(p) ^ crc) ^ LookupReflected<7>(t, LoadLittle64(p + 8)));
    for (; length != 0; --length, ++p)
        crc = static_cast<T>((crc >> 8) ^ t[0][(crc ^ *p) & 0xFF]);
    return crc;
}

// A forward 16-bit register: the first byte of the input meets the high byte.
std::uint16_t UpdateForward16(const Tables<std::uint16_t>& t, std::uint16_t crc, const std::uint8_t* p,
                              std::size_t length) {
    for (; length >= 16; length -= 16, p += 16) {
        const std::uint64_t w0 = __builtin_bswap64(LoadLittle64(p)) ^ (std::uint64_t{crc} << 48);
        const std::uint64_t w1 = __builtin_bswap64(LoadLittle64(p + 8));
        crc = static_cast<std::uint16_t>(LookupForward<15>(t, w0) ^ LookupForward<7>(t, w1));
    }
    for (; length != 0; --length, ++p)
        crc = static_cast<std::uint16_t>((crc << 8) ^ t[0][(crc >> 8) ^ *p]);
    return crc;
}

using crc_detail::CrcPath;
using crc_detail::FoldConstants;

std::atomic<CrcPath> widestPath{crc_detail::kWidestPath};

// The folding constants of the three CRCs as CRCs of degree 32 (crc_internal.h).
constexpr FoldConstants kArcFold = crc_detail::MakeFoldConstants(0x180050000, true);    // 8005 * x^16
constexpr FoldConstants kCcittFold = crc_detail::MakeFoldConstants(0x110210000, false); // 1021 * x^16
constexpr FoldConstants kCrc32Fold = crc_detail::MakeFoldConstants(0x104C11DB7, true);

bool Allowed(CrcPath path) {
    return widestPath.load(std::memory_order_relaxed) >= path && crc_detail::PathAvailable(path);
}

// Folds the input's whole 16-byte blocks into the 32-bit register `reg` on the
// widest allowed path that takes that length, and gives the number of bytes it
// took: none when the input is too short for every allowed path (shorter than
// 128 bytes, an input stays on the tables).
std::size_t FoldBlocks(const FoldConstants& k, std::uint32_t& reg, const std::uint8_t* p, std::size_t length) {
    const std::size_t blocks = length & ~std::size_t{15};
#if defined(__x86_64__)
    if (blocks >= 256 && Allowed(CrcPath::Vpclmul512)) {
        reg = crc_detail::FoldVpclmul512(k, reg, p, blocks);
        return blocks;
    }
    if (blocks >= 128 && Allowed(CrcPath::Vpclmul256)) {
        reg = crc_detail::FoldVpclmul256(k, reg, p, blocks);
        return blocks;
    }
    if (blocks >= 128 && Allowed(CrcPath::Pclmul128)) {
        reg = crc_detail::FoldPclmul128(k, reg, p, blocks);
        return blocks;
    }
#else
    (void)k, (void)reg, (void)p;
#endif
    return 0;
}

// Bytes past the end of a source count as 0, as At gives them; this many at a time.
constexpr std::size_t kZeroRun = 64 * 1024;
const std::uint8_t kZeros[kZeroRun] = {};

// Feeds the first n bytes from the source's cursor to `update`, a chunk at a
// time, and puts the cursor back. It stops where the source has Failed:
// bytes that could not be read are never taken for zeros.
template <typename State, typename Update>
State Feed(ByteSource& source, std::uint64_t n, Progress* progress, State state, Update update) {
    if (progress)
        progress->SetTotal(n);
    std::uint64_t moved = 0;
    while (n != 0 && !IsCancelled(progress)) {
        const std::span<const std::uint8_t> view = source.View(n);
        std::size_t count = view.size();
        if (count != 0) {
            state = update(state, view.data(), count);
        } else if (source.Failed()) {
            break;
        } else {
            count = static_cast<std::size_t>(std::min<std::uint64_t>(n, kZeroRun));
            state = update(state, kZeros, count);
        }
        source.Advance(count);
        AddProgress(progress, count);
        moved += count;
        n -= count;
    }
    source.Back(moved);
    return state;
}

} // namespace

bool crc_detail::PathAvailable(CrcPath path) {
#if defined(__x86_64__)
    const CpuFeatures& cpu = GetCpuFeatures();
    const bool pclmul = cpu.pclmul && cpu.sse41 && cpu.ssse3;
    switch (path) {
    case CrcPath::Tables:
        return true;
    case CrcPath::Pclmul128:
        return pclmul;
    case CrcPath::Vpclmul256:
        return pclmul && cpu.avx2 && cpu.vpclmul;
    case CrcPath::Vpclmul512:
        return pclmul && cpu.avx512 && cpu.vpclmul;
    }
    return false;
#else
    return path == CrcPath::Tables;
#endif
}

void crc_detail::SetWidestPath(CrcPath path) {
    widestPath.store(path, std::memory_order_relaxed);
}

// Each CRC folds what it can in its 32-bit register (a 16-bit register sits
// in the low half when reflected, in the high half when forward) and leaves
// the last bytes to the tables.

std::uint16_t Crc16Arc::Update(std::uint16_t state, const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::uint32_t reg = state;
    const std::size_t folded = FoldBlocks(kArcFold, reg, p, length);
    return UpdateReflected(kArcTables, static_cast<std::uint16_t>(reg), p + folded, length - folded);
}

std::uint16_t CrcCcittFalse::Update(std::uint16_t state, const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::uint32_t reg = std::uint32_t{state} << 16;
    const std::size_t folded = FoldBlocks(kCcittFold, reg, p, length);
    return UpdateForward16(kCcittTables, static_cast<std::uint16_t>(reg >> 16), p + folded, length - folded);
}

std::uint32_t Crc32IsoHdlc::Update(std::uint32_t state, const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::uint32_t reg = ~state;
    const std::size_t folded = FoldBlocks(kCrc32Fold, reg, p, length);
    return ~UpdateReflected(kCrc32Tables, reg, p + folded, length - folded);
}

std::uint16_t CrcCalculator::Crc16(ByteSource& source, std::uint64_t n, Progress* progress) {
    return Crc16Arc::Final(Feed(source, n, progress, Crc16Arc::kInit, Crc16Arc::Update));
}

std::uint16_t CrcCalculator::CrcCcitt(ByteSource& source, std::uint64_t n, Progress* progress) {
    return CrcCcittFalse::Final(Feed(source, n, progress, CrcCcittFalse::kInit, CrcCcittFalse::Update));
}

std::uint32_t CrcCalculator::Crc32(ByteSource& source, std::uint64_t n, Progress* progress) {
    return Crc32IsoHdlc::Final(Feed(source, n, progress, Crc32IsoHdlc::kInit, Crc32IsoHdlc::Update));
}

std::string FormatBitString(std::uint32_t value, int digits, bool grouped) {
    digits = std::clamp(digits, 0, 32);
    std::string text;
    text.reserve(static_cast<std::size_t>(digits + digits / 4));
    for (int i = digits - 1; i >= 0; --i) {
        text.push_back((value >> i) & 1 ? '1' : '0');
        if (grouped && i != 0 && i % 4 == 0)
            text.push_back(' ');
    }
    return text;
}

} // namespace qh
