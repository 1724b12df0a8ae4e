// The three CRCs, computed sixteen bytes at a time ("slicing by 16"): table k
// holds the register change of one byte followed by k zero bytes, so sixteen
// independent lookups replace sixteen dependent ones. The tables are built by
// the compiler. CRC-32 uses carry-less multiplication where the processor
// has it.
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

std::atomic<bool> portableOnly{false};

std::uint32_t UpdateCrc32Register(std::uint32_t crc, const std::uint8_t* p, std::size_t length) {
#if defined(__x86_64__)
    // Below a few blocks the set-up of the folding costs more than it saves.
    if (length >= 256 && GetCpuFeatures().pclmul && GetCpuFeatures().sse41 &&
        !portableOnly.load(std::memory_order_relaxed)) {
        const std::size_t folded = length & ~std::size_t{15};
        crc = crc_detail::Crc32Pclmul(crc, p, folded);
        p += folded;
        length -= folded;
    }
#endif
    return UpdateReflected(kCrc32Tables, crc, p, length);
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

void crc_detail::SetPortableOnly(bool portable) {
    portableOnly.store(portable, std::memory_order_relaxed);
}

std::uint16_t Crc16Arc::Update(std::uint16_t state, const void* data, std::size_t length) {
    return UpdateReflected(kArcTables, state, static_cast<const std::uint8_t*>(data), length);
}

std::uint16_t CrcCcittFalse::Update(std::uint16_t state, const void* data, std::size_t length) {
    return UpdateForward16(kCcittTables, state, static_cast<const std::uint8_t*>(data), length);
}

std::uint32_t Crc32IsoHdlc::Update(std::uint32_t state, const void* data, std::size_t length) {
    return ~UpdateCrc32Register(~state, static_cast<const std::uint8_t*>(data), length);
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
