// The portable codec, and the choice of the vector kernels of base64_x86.cpp,
// which take the plain stretches of the work.
#include "base64.h"

#include "base64_internal.h"
#include "cpu_features.h"

#include <array>
#include <atomic>
#include <bit>
#include <cstring>

namespace qh {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Encoding: the two characters of every 12-bit value, so a group of three
// bytes takes two look-ups and two 2-byte stores.
constexpr std::array<std::array<char, 2>, 4096> MakePairTable() {
    std::array<std::array<char, 2>, 4096> table{};
    for (int v = 0; v < 4096; ++v)
        table[v] = {kAlphabet[v >> 6], kAlphabet[v & 63]};
    return table;
}
constexpr auto kPairs = MakePairTable();

// Decoding: the 6-bit value of each character already shifted to its place in
// a 24-bit group. Characters outside the alphabet ("=" included) map to a value
// with bits above 24 set, so one OR over four look-ups tells whether the whole
// group is clean.
constexpr std::uint32_t kInvalid = 0xFF000000u;
constexpr int kNotAlphabet = -1;

constexpr std::array<int, 256> MakeValueTable() {
    std::array<int, 256> table{};
    for (int& v : table)
        v = kNotAlphabet;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = i;
    return table;
}
constexpr auto kValues = MakeValueTable();

constexpr std::array<std::uint32_t, 256> MakeShiftedTable(int shift) {
    std::array<std::uint32_t, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = kValues[c] < 0 ? kInvalid : static_cast<std::uint32_t>(kValues[c]) << shift;
    return table;
}
constexpr auto kShift18 = MakeShiftedTable(18);
constexpr auto kShift12 = MakeShiftedTable(12);
constexpr auto kShift6 = MakeShiftedTable(6);
constexpr auto kShift0 = MakeShiftedTable(0);

inline std::uint32_t CleanGroup(const unsigned char* in) {
    return kShift18[in[0]] | kShift12[in[1]] | kShift6[in[2]] | kShift0[in[3]];
}

// Stores the three bytes of a group as one 4-byte write; the fourth byte must
// be within the output and is overwritten later.
inline void StoreGroup(unsigned char* dst, std::uint32_t group) {
    std::uint32_t word = group << 8;
    if constexpr (std::endian::native == std::endian::little)
        word = __builtin_bswap32(word);
    std::memcpy(dst, &word, 4);
}

// The path forced by a test, or -1.
std::atomic<int> forcedPath{-1};

struct Kernels {
    base64_detail::EncodeKernel encode = nullptr; // null: the portable code only
    base64_detail::DecodeKernel decode = nullptr;
};

Kernels ActiveKernels() {
    switch (base64_detail::ActivePath()) {
#if defined(__x86_64__)
    case base64_detail::Path::Avx512Vbmi:
        return {base64_detail::EncodeAvx512Vbmi, base64_detail::DecodeAvx512Vbmi};
    case base64_detail::Path::Avx2:
        return {base64_detail::EncodeAvx2, base64_detail::DecodeAvx2};
#endif
    default:
        return {};
    }
}

} // namespace

bool base64_detail::Runs(Path path) {
    const CpuFeatures& cpu = GetCpuFeatures();
    switch (path) {
    case Path::Portable:
        return true;
    case Path::Avx2:
        return cpu.avx2;
    case Path::Avx512Vbmi:
        return cpu.avx512vbmi;
    }
    return false;
}

base64_detail::Path base64_detail::ActivePath() {
    const int forced = forcedPath.load(std::memory_order_relaxed);
    if (forced >= 0)
        return static_cast<Path>(forced);
    static const Path fastest = Runs(Path::Avx512Vbmi) ? Path::Avx512Vbmi
                                : Runs(Path::Avx2)     ? Path::Avx2
                                                       : Path::Portable;
    return fastest;
}

bool base64_detail::ForcePath(Path path) {
    if (!Runs(path))
        return false;
    forcedPath.store(static_cast<int>(path), std::memory_order_relaxed);
    return true;
}

void base64_detail::UseFastestPath() {
    forcedPath.store(-1, std::memory_order_relaxed);
}

std::size_t Base64EncodeTo(std::string_view bytes, char* out) {
    const std::size_t n = bytes.size();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    if (const auto kernel = ActiveKernels().encode) {
        i = kernel(in, n, out);
        out += i / 3 * 4;
    }
    for (; i + 3 <= n; i += 3, out += 4) {
        const std::uint32_t group = (std::uint32_t{in[i]} << 16) | (std::uint32_t{in[i + 1]} << 8) | in[i + 2];
        std::memcpy(out, kPairs[group >> 12].data(), 2);
        std::memcpy(out + 2, kPairs[group & 0xFFF].data(), 2);
    }
    if (n - i == 1) {
        out[0] = kAlphabet[in[i] >> 2];
        out[1] = kAlphabet[(in[i] & 3) << 4];
        out[2] = '=';
        out[3] = '=';
    } else if (n - i == 2) {
        out[0] = kAlphabet[in[i] >> 2];
        out[1] = kAlphabet[((in[i] & 3) << 4) | (in[i + 1] >> 4)];
        out[2] = kAlphabet[(in[i + 1] & 15) << 2];
        out[3] = '=';
    }
    return Base64EncodedLength(n);
}

std::string Base64Encode(std::string_view bytes) {
    std::string text(Base64EncodedLength(bytes.size()), '\0');
    Base64EncodeTo(bytes, text.data());
    return text;
}

std::size_t Base64DecodeTo(std::string_view text, char* out) {
    Base64Decoder decoder;
    return decoder.FeedTo(text, out);
}

std::string Base64Decode(std::string_view text) {
    std::string bytes;
    Base64Decoder decoder;
    decoder.Feed(text, bytes);
    return bytes;
}

void Base64Decoder::Feed(std::string_view text, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + Base64MaxDecodedLength(text.size()));
    out.resize(start + FeedTo(text, out.data() + start));
}

std::size_t Base64Decoder::FeedTo(std::string_view text, char* out) {
    if (ended_)
        return 0;
    auto* dst = reinterpret_cast<unsigned char*>(out);
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = in + text.size();
    auto* const roomEnd = dst + Base64MaxDecodedLength(text.size());
    const base64_detail::DecodeKernel kernel = ActiveKernels().decode;

    while (in < end) {
        // Fast path at a group start: the vector kernel, which also skips
        // foreign characters between groups, then the whole groups of four
        // alphabet characters it leaves. A group followed by at least four
        // more characters is stored with one 4-byte write: those characters
        // leave room for the spare byte, which the next group overwrites; the
        // last group is stored byte by byte.
        if (count_ == 0) {
            if (kernel) {
                const base64_detail::DecodeStep step =
                    kernel(in, static_cast<std::size_t>(end - in), dst, static_cast<std::size_t>(roomEnd - dst));
                in += step.taken;
                dst += step.written;
            }
            while (end - in >= 8) {
                const std::uint32_t group = CleanGroup(in);
                if (group & kInvalid)
                    break;
                StoreGroup(dst, group);
                dst += 3;
                in += 4;
            }
            if (end - in >= 4) {
                const std::uint32_t group = CleanGroup(in);
                if (!(group & kInvalid)) {
                    dst[0] = static_cast<unsigned char>(group >> 16);
                    dst[1] = static_cast<unsigned char>(group >> 8);
                    dst[2] = static_cast<unsigned char>(group);
                    dst += 3;
                    in += 4;
                }
            }
            if (in == end)
                break;
        }
        // Slow path: one character at a time until the next group start.
        const unsigned char c = *in++;
        const int value = kValues[c];
        if (value < 0) {
            // "=" in the third or fourth place ends the decoding; anything else
            // outside the alphabet, and "=" in the first two places, is skipped.
            if (c == '=' && count_ >= 2) {
                ended_ = true;
                break;
            }
            continue;
        }
        bits_ = (bits_ << 6) | static_cast<std::uint32_t>(value);
        ++count_;
        if (count_ == 2) {
            *dst++ = static_cast<unsigned char>(bits_ >> 4);
        } else if (count_ == 3) {
            *dst++ = static_cast<unsigned char>(bits_ >> 2);
        } else if (count_ == 4) {
            *dst++ = static_cast<unsigned char>(bits_);
            bits_ = 0;
            count_ = 0;
        }
    }
    return static_cast<std::size_t>(reinterpret_cast<char*>(dst) - out);
}

} // namespace qh
