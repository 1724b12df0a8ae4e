// SHA-224/256 block function, portable form: 64 rounds unrolled, with the
// message schedule kept in a rolling window of 16 words. SHA-224 differs only
// in its initial values and in the length of its digest (see sha.cpp).
#include "sha_internal.h"

namespace qh::sha {
namespace {

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
        const std::uint32_t t1 = h + BigSigma1(e) + Ch(e, f, g) + kSha256Constants[t] + W(t);                          \
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
