// MD5 as RFC 1321 defines it. The 64 steps are unrolled, and each round
// function is written so that the value produced by the previous step (b)
// enters it as late as possible, which keeps the dependency chain short.
#include "md5.h"

#include "byte_source.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qh {
namespace {

inline std::uint32_t LoadLittle32(const std::uint8_t* p) {
    std::uint32_t value;
    std::memcpy(&value, p, 4);
    if constexpr (std::endian::native == std::endian::big)
        value = __builtin_bswap32(value);
    return value;
}

inline void StoreLittle32(std::uint8_t* p, std::uint32_t value) {
    if constexpr (std::endian::native == std::endian::big)
        value = __builtin_bswap32(value);
    std::memcpy(p, &value, 4);
}

// F = (b & c) | (~b & d), G = (b & d) | (c & ~d), H = b ^ c ^ d, I = c ^ (b | ~d).
// G's two terms have no bit in common, so they may be added one at a time.
#define F(a, b, c, d, x, s, k)                                                                                         \
    a += (x) + (k) + ((((c) ^ (d)) & (b)) ^ (d));                                                                      \
    a = std::rotl(a, s) + (b)
#define G(a, b, c, d, x, s, k)                                                                                         \
    a += (x) + (k) + (~(d) & (c));                                                                                     \
    a += (d) & (b);                                                                                                    \
    a = std::rotl(a, s) + (b)
#define H(a, b, c, d, x, s, k)                                                                                         \
    a += (x) + (k) + ((c) ^ (d) ^ (b));                                                                                \
    a = std::rotl(a, s) + (b)
#define I(a, b, c, d, x, s, k)                                                                                         \
    a += (x) + (k) + ((c) ^ ((b) | ~(d)));                                                                             \
    a = std::rotl(a, s) + (b)

void Md5Blocks(std::uint32_t state[4], const std::uint8_t* data, std::size_t blocks) {
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks != 0; --blocks, data += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = LoadLittle32(data + 4 * i);
        const std::uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
        F(a, b, c, d, x[0], 7, 0xd76aa478);
        F(d, a, b, c, x[1], 12, 0xe8c7b756);
        F(c, d, a, b, x[2], 17, 0x242070db);
        F(b, c, d, a, x[3], 22, 0xc1bdceee);
        F(a, b, c, d, x[4], 7, 0xf57c0faf);
        F(d, a, b, c, x[5], 12, 0x4787c62a);
        F(c, d, a, b, x[6], 17, 0xa8304613);
        F(b, c, d, a, x[7], 22, 0xfd469501);
        F(a, b, c, d, x[8], 7, 0x698098d8);
        F(d, a, b, c, x[9], 12, 0x8b44f7af);
        F(c, d, a, b, x[10], 17, 0xffff5bb1);
        F(b, c, d, a, x[11], 22, 0x895cd7be);
        F(a, b, c, d, x[12], 7, 0x6b901122);
        F(d, a, b, c, x[13], 12, 0xfd987193);
        F(c, d, a, b, x[14], 17, 0xa679438e);
        F(b, c, d, a, x[15], 22, 0x49b40821);
        G(a, b, c, d, x[1], 5, 0xf61e2562);
        G(d, a, b, c, x[6], 9, 0xc040b340);
        G(c, d, a, b, x[11], 14, 0x265e5a51);
        G(b, c, d, a, x[0], 20, 0xe9b6c7aa);
        G(a, b, c, d, x[5], 5, 0xd62f105d);
        G(d, a, b, c, x[10], 9, 0x02441453);
        G(c, d, a, b, x[15], 14, 0xd8a1e681);
        G(b, c, d, a, x[4], 20, 0xe7d3fbc8);
        G(a, b, c, d, x[9], 5, 0x21e1cde6);
        G(d, a, b, c, x[14], 9, 0xc33707d6);
        G(c, d, a, b, x[3], 14, 0xf4d50d87);
        G(b, c, d, a, x[8], 20, 0x455a14ed);
        G(a, b, c, d, x[13], 5, 0xa9e3e905);
        G(d, a, b, c, x[2], 9, 0xfcefa3f8);
        G(c, d, a, b, x[7], 14, 0x676f02d9);
        G(b, c, d, a, x[12], 20, 0x8d2a4c8a);
        H(a, b, c, d, x[5], 4, 0xfffa3942);
        H(d, a, b, c, x[8], 11, 0x8771f681);
        H(c, d, a, b, x[11], 16, 0x6d9d6122);
        H(b, c, d, a, x[14], 23, 0xfde5380c);
        H(a, b, c, d, x[1], 4, 0xa4beea44);
        H(d, a, b, c, x[4], 11, 0x4bdecfa9);
        H(c, d, a, b, x[7], 16, 0xf6bb4b60);
        H(b, c, d, a, x[10], 23, 0xbebfbc70);
        H(a, b, c, d, x[13], 4, 0x289b7ec6);
        H(d, a, b, c, x[0], 11, 0xeaa127fa);
        H(c, d, a, b, x[3], 16, 0xd4ef3085);
        H(b, c, d, a, x[6], 23, 0x04881d05);
        H(a, b, c, d, x[9], 4, 0xd9d4d039);
        H(d, a, b, c, x[12], 11, 0xe6db99e5);
        H(c, d, a, b, x[15], 16, 0x1fa27cf8);
        H(b, c, d, a, x[2], 23, 0xc4ac5665);
        I(a, b, c, d, x[0], 6, 0xf4292244);
        I(d, a, b, c, x[7], 10, 0x432aff97);
        I(c, d, a, b, x[14], 15, 0xab9423a7);
        I(b, c, d, a, x[5], 21, 0xfc93a039);
        I(a, b, c, d, x[12], 6, 0x655b59c3);
        I(d, a, b, c, x[3], 10, 0x8f0ccc92);
        I(c, d, a, b, x[10], 15, 0xffeff47d);
        I(b, c, d, a, x[1], 21, 0x85845dd1);
        I(a, b, c, d, x[8], 6, 0x6fa87e4f);
        I(d, a, b, c, x[15], 10, 0xfe2ce6e0);
        I(c, d, a, b, x[6], 15, 0xa3014314);
        I(b, c, d, a, x[13], 21, 0x4e0811a1);
        I(a, b, c, d, x[4], 6, 0xf7537e82);
        I(d, a, b, c, x[11], 10, 0xbd3af235);
        I(c, d, a, b, x[2], 15, 0x2ad7d2bb);
        I(b, c, d, a, x[9], 21, 0xeb86d391);
        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

#undef F
#undef G
#undef H
#undef I

std::string DigestText(const std::array<std::uint8_t, Md5::kDigestLength>& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (std::uint8_t byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 15]);
    }
    return text;
}

} // namespace

Md5::Md5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, buffer_{} {}

void Md5::Update(const void* data, std::size_t length) {
    if (length == 0)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t buffered = length_ % 64;
    length_ += length;
    if (buffered != 0) {
        const std::size_t take = std::min(length, 64 - buffered);
        std::memcpy(buffer_ + buffered, bytes, take);
        bytes += take;
        length -= take;
        buffered += take;
        if (buffered < 64)
            return;
        Md5Blocks(state_, buffer_, 1);
    }
    Md5Blocks(state_, bytes, length / 64);
    bytes += length / 64 * 64;
    if (length % 64 != 0)
        std::memcpy(buffer_, bytes, length % 64);
}

std::array<std::uint8_t, Md5::kDigestLength> Md5::Finish() {
    // 80, zeros up to 56 mod 64, then the length in bits, little-endian.
    const std::uint64_t bits = length_ * 8;
    std::uint8_t padding[72] = {0x80};
    const std::size_t buffered = length_ % 64;
    const std::size_t padLength = (buffered < 56 ? 56 : 120) - buffered;
    for (int i = 0; i < 8; ++i)
        padding[padLength + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    Update(padding, padLength + 8);
    std::array<std::uint8_t, kDigestLength> digest;
    for (int i = 0; i < 4; ++i)
        StoreLittle32(digest.data() + 4 * i, state_[i]);
    return digest;
}

std::string Md5Buffer(std::string_view bytes) {
    Md5 md5;
    md5.Update(bytes.data(), bytes.size());
    return DigestText(md5.Finish());
}

std::optional<std::string> Md5File(const std::string& path, Progress* progress) {
    FileSource source(path);
    if (!source.IsOpen())
        return std::nullopt;
    if (progress)
        progress->SetTotal(source.Size());
    Md5 md5;
    for (std::uint64_t left = source.Size(); left != 0;) {
        const std::span<const std::uint8_t> view = source.View(left);
        if (view.empty())
            break;
        md5.Update(view.data(), view.size());
        source.Advance(view.size());
        left -= view.size();
        AddProgress(progress, view.size());
        if (IsCancelled(progress))
            return std::nullopt;
    }
    if (source.Failed())
        return std::nullopt; // a part of the file could not be read
    return DigestText(md5.Finish());
}

int HexDigitValue(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

} // namespace qh
