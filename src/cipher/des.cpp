// The DES block function, key schedule, complement padding and random keys.
//
// The block function keeps the two halves rotated left by one bit, does the
// initial and final permutations by five mask-and-swap steps each, and looks
// up S-boxes merged with P (see des_tables.h), so a round is two XORs with the
// round key and eight table loads. Buffers of many blocks go to the
// bitsliced form (des_slice.h) first; the table code does what it leaves.
#include "des.h"

#include "des_slice.h"
#include "des_tables.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <sys/random.h>

namespace qh {
namespace {

using des_tables::DesPad;
using des_tables::DesUnpad;
using des_tables::kSp;

inline std::uint32_t LoadBig32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline void StoreBig32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

// Exchanges the bits of `b` under `mask` with the bits of `a` under mask << shift.
inline void SwapMasked(std::uint32_t& a, std::uint32_t& b, int shift, std::uint32_t mask) {
    const std::uint32_t t = ((a >> shift) ^ b) & mask;
    b ^= t;
    a ^= t << shift;
}

inline std::uint32_t Feistel(std::uint32_t r, const std::uint32_t* k) {
    const std::uint32_t odd = std::rotr(r, 4) ^ k[0];
    const std::uint32_t even = r ^ k[1];
    return kSp[0][(odd >> 24) & 63] | kSp[2][(odd >> 16) & 63] | kSp[4][(odd >> 8) & 63] | kSp[6][odd & 63] |
           kSp[1][(even >> 24) & 63] | kSp[3][(even >> 16) & 63] | kSp[5][(even >> 8) & 63] | kSp[7][even & 63];
}

} // namespace

DesSchedule::DesSchedule(const DesKey& key, bool decrypt) {
    using namespace des_tables;
    std::uint64_t k = 0;
    for (std::uint8_t byte : key)
        k = (k << 8) | byte;
    // C and D side by side in 56 bits, C first; bit n (1-based) of CD is bit 56 - n.
    std::uint64_t cd = 0;
    for (int i = 0; i < 56; ++i)
        cd = (cd << 1) | ((k >> (64 - kPc1[i])) & 1);
    std::uint32_t c = static_cast<std::uint32_t>(cd >> 28);
    std::uint32_t d = static_cast<std::uint32_t>(cd & 0x0FFFFFFF);
    for (int round = 0; round < 16; ++round) {
        for (int s = 0; s < kShifts[round]; ++s) {
            c = ((c << 1) | (c >> 27)) & 0x0FFFFFFF;
            d = ((d << 1) | (d >> 27)) & 0x0FFFFFFF;
        }
        const std::uint64_t both = (std::uint64_t{c} << 28) | d;
        // Six-bit groups of the round key, group j feeding S-box j + 1.
        std::uint32_t group[8] = {};
        for (int i = 0; i < 48; ++i)
            group[i / 6] = (group[i / 6] << 1) | static_cast<std::uint32_t>((both >> (56 - kPc2[i])) & 1);
        const int slot = decrypt ? 15 - round : round;
        subkeys_[2 * slot] = (group[0] << 24) | (group[2] << 16) | (group[4] << 8) | group[6];
        subkeys_[2 * slot + 1] = (group[1] << 24) | (group[3] << 16) | (group[5] << 8) | group[7];
    }
}

void DesSchedule::Process(std::uint8_t* data, std::size_t blocks) const {
    const std::size_t sliced = des_slice::Process(data, blocks, subkeys_);
    data += 8 * sliced;
    blocks -= sliced;
    const std::uint32_t* const keys = subkeys_;
    for (; blocks > 0; --blocks, data += 8) {
        std::uint32_t left = LoadBig32(data);
        std::uint32_t right = LoadBig32(data + 4);
        // Initial permutation; leaves both halves rotated left by one.
        SwapMasked(left, right, 4, 0x0F0F0F0F);
        SwapMasked(left, right, 16, 0x0000FFFF);
        SwapMasked(right, left, 2, 0x33333333);
        SwapMasked(right, left, 8, 0x00FF00FF);
        right = std::rotl(right, 1);
        std::uint32_t t = (left ^ right) & 0xAAAAAAAA;
        left ^= t;
        right ^= t;
        left = std::rotl(left, 1);

        for (int round = 0; round < 16; round += 2) {
            left ^= Feistel(right, keys + 2 * round);
            right ^= Feistel(left, keys + 2 * round + 2);
        }

        // Final permutation of R16 L16, undoing the steps above in reverse.
        right = std::rotr(right, 1);
        t = (left ^ right) & 0xAAAAAAAA;
        left ^= t;
        right ^= t;
        left = std::rotr(left, 1);
        SwapMasked(left, right, 8, 0x00FF00FF);
        SwapMasked(left, right, 2, 0x33333333);
        SwapMasked(right, left, 16, 0x0000FFFF);
        SwapMasked(right, left, 4, 0x0F0F0F0F);
        StoreBig32(data, right);
        StoreBig32(data + 4, left);
    }
}

std::size_t des_tables::DesPad(std::uint8_t* data, std::size_t length) {
    const std::uint8_t fill = static_cast<std::uint8_t>(~data[length - 1]);
    const std::size_t padded = length / 8 * 8 + 8;
    std::memset(data + length, fill, padded - length);
    return padded;
}

std::optional<std::size_t> des_tables::DesUnpad(const std::uint8_t* data, std::size_t length) {
    if (length == 0)
        return std::nullopt;
    std::size_t i = length - 1;
    const std::uint8_t last = data[i];
    while (i > 0 && data[i] == last)
        --i;
    if (data[i] != static_cast<std::uint8_t>(~last))
        return std::nullopt;
    return i + 1;
}

std::optional<std::string> DesEncryptBuffer(const DesKey& key, std::string_view plaintext) {
    if (plaintext.empty())
        return std::nullopt;
    std::string out(plaintext.size() / 8 * 8 + 8, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
    std::memcpy(bytes, plaintext.data(), plaintext.size());
    DesPad(bytes, plaintext.size());
    DesSchedule(key, false).Process(bytes, out.size() / 8);
    return out;
}

std::optional<std::string> DesDecryptBuffer(const DesKey& key, std::string_view ciphertext) {
    if (ciphertext.empty() || ciphertext.size() % 8 != 0)
        return std::nullopt;
    std::string out(ciphertext);
    auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
    DesSchedule(key, true).Process(bytes, out.size() / 8);
    const std::optional<std::size_t> length = DesUnpad(bytes, out.size());
    if (!length)
        return std::nullopt;
    out.resize(*length);
    return out;
}

int DesDecryptText(std::string_view ciphertext, const DesKey& key, std::string& out) {
    std::string whole(ciphertext);
    whole.resize((whole.size() + 7) / 8 * 8, '\0');
    std::optional<std::string> plaintext = DesDecryptBuffer(key, whole);
    if (!plaintext)
        return -1;
    out = std::move(*plaintext);
    return 0;
}

std::optional<DesKey> DesRandomKey() {
    DesKey key{};
    std::size_t filled = 0;
    while (filled < key.size()) {
        const ssize_t got = ::getrandom(key.data() + filled, key.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        filled += static_cast<std::size_t>(got);
    }
    return key;
}

} // namespace qh
