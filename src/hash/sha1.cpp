// SHA-1 block function, portable form: 80 rounds unrolled, with the message
// schedule kept in a rolling window of 16 words.
#include "sha_internal.h"

namespace qh::sha {
namespace {

constexpr std::uint32_t kK0 = 0x5a827999, kK1 = 0x6ed9eba1, kK2 = 0x8f1bbcdc, kK3 = 0xca62c1d6;

inline std::uint32_t Ch(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return d ^ (b & (c ^ d));
}
inline std::uint32_t Parity(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return b ^ c ^ d;
}
inline std::uint32_t Maj(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return (b & c) | (d & (b | c));
}

} // namespace

// W(t) for t >= 16, computed in place in the window slot of W(t - 16).
#define QH_SHA1_W(t) (w[(t)&15] = Rotl32(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], 1))

// One round; instead of moving the five words, the callers rotate the names.
#define QH_SHA1_ROUND(a, b, c, d, e, f, k, wt)                                                                         \
    do {                                                                                                               \
        e += Rotl32(a, 5) + f(b, c, d) + (k) + (wt);                                                                   \
        b = Rotl32(b, 30);                                                                                             \
    } while (0)

#define QH_SHA1_FIVE(t, f, k, W)                                                                                       \
    QH_SHA1_ROUND(a, b, c, d, e, f, k, W(t));                                                                          \
    QH_SHA1_ROUND(e, a, b, c, d, f, k, W((t) + 1));                                                                    \
    QH_SHA1_ROUND(d, e, a, b, c, f, k, W((t) + 2));                                                                    \
    QH_SHA1_ROUND(c, d, e, a, b, f, k, W((t) + 3));                                                                    \
    QH_SHA1_ROUND(b, c, d, e, a, f, k, W((t) + 4))

#define QH_SHA1_WLOAD(t) (w[(t)] = LoadBe32(data + 4 * (t)))

void Sha1BlocksPortable(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
    for (; blocks != 0; --blocks, data += 64) {
        std::uint32_t w[16];
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        QH_SHA1_FIVE(0, Ch, kK0, QH_SHA1_WLOAD);
        QH_SHA1_FIVE(5, Ch, kK0, QH_SHA1_WLOAD);
        QH_SHA1_FIVE(10, Ch, kK0, QH_SHA1_WLOAD);
        QH_SHA1_ROUND(a, b, c, d, e, Ch, kK0, QH_SHA1_WLOAD(15));
        QH_SHA1_ROUND(e, a, b, c, d, Ch, kK0, QH_SHA1_W(16));
        QH_SHA1_ROUND(d, e, a, b, c, Ch, kK0, QH_SHA1_W(17));
        QH_SHA1_ROUND(c, d, e, a, b, Ch, kK0, QH_SHA1_W(18));
        QH_SHA1_ROUND(b, c, d, e, a, Ch, kK0, QH_SHA1_W(19));
        QH_SHA1_FIVE(20, Parity, kK1, QH_SHA1_W);
        QH_SHA1_FIVE(25, Parity, kK1, QH_SHA1_W);
        QH_SHA1_FIVE(30, Parity, kK1, QH_SHA1_W);
        QH_SHA1_FIVE(35, Parity, kK1, QH_SHA1_W);
        QH_SHA1_FIVE(40, Maj, kK2, QH_SHA1_W);
        QH_SHA1_FIVE(45, Maj, kK2, QH_SHA1_W);
        QH_SHA1_FIVE(50, Maj, kK2, QH_SHA1_W);
        QH_SHA1_FIVE(55, Maj, kK2, QH_SHA1_W);
        QH_SHA1_FIVE(60, Parity, kK3, QH_SHA1_W);
        QH_SHA1_FIVE(65, Parity, kK3, QH_SHA1_W);
        QH_SHA1_FIVE(70, Parity, kK3, QH_SHA1_W);
        QH_SHA1_FIVE(75, Parity, kK3, QH_SHA1_W);
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

#undef QH_SHA1_WLOAD
#undef QH_SHA1_FIVE
#undef QH_SHA1_ROUND
#undef QH_SHA1_W

} // namespace qh::sha
