// SHA-224/256 block function, portable form: 64 rounds unrolled, with the
// message schedule kept in a rolling window of 16 words. SHA-224 differs only
// in its initial values and in the length of its digest (see sha.cpp).
#include "sha_internal.h"

namespace qh::sha {
namespace {

constexpr std::uint32_t kK[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// The three rotations nested, so that only one copy of x is live.
inline std::uint32_t BigSigma0(std::uint32_t x) {
    return Rotr32(Rotr32(Rotr32(x, 9) ^ x, 11) ^ x, 2);
}
inline std::uint32_t BigSigma1(std::uint32_t x) {
    return Rotr32(Rotr32(Rotr32(x, 14) ^ x, 5) ^ x, 6);
}
inline std::uint32_t SmallSigma0(std::uint32_t x) {
    return Rotr32(x, 7) ^ Rotr32(x, 18) ^ (x >> 3);
}
inline std::uint32_t SmallSigma1(std::uint32_t x) {
    return Rotr32(x, 17) ^ Rotr32(x, 19) ^ (x >> 10);
}
inline std::uint32_t Ch(std::uint32_t e, std::uint32_t f, std::uint32_t g) {
    return g ^ (e & (f ^ g));
}
} // namespace

// W(t) for t >= 16, computed in place in the window slot of W(t - 16).
#define QH_SHA256_W(t)                                                                                                 \
    (w[(t)&15] += SmallSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + SmallSigma0(w[((t) + 1) & 15]))
#define QH_SHA256_WLOAD(t) (w[(t)] = LoadBe32(data + 4 * (t)))

// One round; instead of moving the eight words, the callers rotate the names.
// Maj(a, b, c) is b ^ ((a ^ b) & (b ^ c)), and this round's a ^ b is the next
// round's b ^ c, kept in `bc`.
#define QH_SHA256_ROUND(a, b, c, d, e, f, g, h, t, W)                                                                  \
    do {                                                                                                               \
        const std::uint32_t t1 = h + BigSigma1(e) + Ch(e, f, g) + kK[t] + W(t);                                        \
        d += t1;                                                                                                       \
        const std::uint32_t ab = a ^ b;                                                                                \
        h = t1 + BigSigma0(a) + (b ^ (ab & bc));                                                                       \
        bc = ab;                                                                                                       \
    } while (0)

#define QH_SHA256_EIGHT(t, W)                                                                                          \
    QH_SHA256_ROUND(a, b, c, d, e, f, g, h, (t), W);                                                                   \
    QH_SHA256_ROUND(h, a, b, c, d, e, f, g, (t) + 1, W);                                                               \
    QH_SHA256_ROUND(g, h, a, b, c, d, e, f, (t) + 2, W);                                                               \
    QH_SHA256_ROUND(f, g, h, a, b, c, d, e, (t) + 3, W);                                                               \
    QH_SHA256_ROUND(e, f, g, h, a, b, c, d, (t) + 4, W);                                                               \
    QH_SHA256_ROUND(d, e, f, g, h, a, b, c, (t) + 5, W);                                                               \
    QH_SHA256_ROUND(c, d, e, f, g, h, a, b, (t) + 6, W);                                                               \
    QH_SHA256_ROUND(b, c, d, e, f, g, h, a, (t) + 7, W)

void Sha256BlocksPortable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
    for (; blocks != 0; --blocks, data += 64) {
        std::uint32_t w[16];
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        std::uint32_t bc = b ^ c;
        QH_SHA256_EIGHT(0, QH_SHA256_WLOAD);
        QH_SHA256_EIGHT(8, QH_SHA256_WLOAD);
        QH_SHA256_EIGHT(16, QH_SHA256_W);
        QH_SHA256_EIGHT(24, QH_SHA256_W);
        QH_SHA256_EIGHT(32, QH_SHA256_W);
        QH_SHA256_EIGHT(40, QH_SHA256_W);
        QH_SHA256_EIGHT(48, QH_SHA256_W);
        QH_SHA256_EIGHT(56, QH_SHA256_W);
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#undef QH_SHA256_EIGHT
#undef QH_SHA256_ROUND
#undef QH_SHA256_WLOAD
#undef QH_SHA256_W

} // namespace qh::sha
