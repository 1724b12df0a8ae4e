// SHA-1 and SHA-256 block functions on the SHA extensions of x86-64 (SHA-NI).
// Only these functions are compiled for the extensions, so the rest of the
// build stays baseline x86-64; sha.cpp calls them after a run-time check.
#include "sha_internal.h"

#if defined(__x86_64__)

#include <immintrin.h>

#define QH_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

namespace qh::sha {

// The message is held in four registers of four words each: m[j & 3] holds
// words 4j .. 4j+3. Word group j (j >= 4) is made in three steps spread over
// the groups before it: msg1 with group j-3, the xor of group j-2 (SHA-1
// only), msg2 with group j-1. Macros rather than helper functions, since the
// instructions take immediate operands and helpers would need the target too.

#define QH_LOAD_BE(t, mask) _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * (t))), mask)

// Four SHA-1 rounds: group i of 20.
#define QH_SHA1_GROUP(i)                                                                                               \
    do {                                                                                                               \
        __m128i& eIn = ((i)&1) ? e1 : e0;                                                                              \
        __m128i& eOut = ((i)&1) ? e0 : e1;                                                                             \
        if ((i) < 4)                                                                                                   \
            m[(i)&3] = QH_LOAD_BE(i, mask);                                                                            \
        if ((i) == 0)                                                                                                  \
            eIn = _mm_add_epi32(eIn, m[0]);                                                                            \
        else                                                                                                           \
            eIn = _mm_sha1nexte_epu32(eIn, m[(i)&3]);                                                                  \
        eOut = abcd;                                                                                                   \
        if ((i) >= 3 && (i) <= 18)                                                                                     \
            m[((i) + 1) & 3] = _mm_sha1msg2_epu32(m[((i) + 1) & 3], m[(i)&3]);                                         \
        abcd = _mm_sha1rnds4_epu32(abcd, eIn, (i) / 5);                                                                \
        if ((i) >= 1 && (i) <= 16)                                                                                     \
            m[((i)-1) & 3] = _mm_sha1msg1_epu32(m[((i)-1) & 3], m[(i)&3]);                                             \
        if ((i) >= 2 && (i) <= 17)                                                                                     \
            m[((i) + 2) & 3] = _mm_xor_si128(m[((i) + 2) & 3], m[(i)&3]);                                              \
    } while (0)

QH_SHA_TARGET void Sha1BlocksShaNi(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
    const __m128i mask = _mm_set_epi64x(0x0001020304050607, 0x08090a0b0c0d0e0f);
    // Words a, b, c, d from the highest lane down; e in the highest lane of e0.
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1b);
    __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    for (; blocks != 0; --blocks, data += 64) {
        const __m128i abcdSaved = abcd;
        const __m128i eSaved = e0;
        __m128i e1;
        __m128i m[4];
        QH_SHA1_GROUP(0);
        QH_SHA1_GROUP(1);
        QH_SHA1_GROUP(2);
        QH_SHA1_GROUP(3);
        QH_SHA1_GROUP(4);
        QH_SHA1_GROUP(5);
        QH_SHA1_GROUP(6);
        QH_SHA1_GROUP(7);
        QH_SHA1_GROUP(8);
        QH_SHA1_GROUP(9);
        QH_SHA1_GROUP(10);
        QH_SHA1_GROUP(11);
        QH_SHA1_GROUP(12);
        QH_SHA1_GROUP(13);
        QH_SHA1_GROUP(14);
        QH_SHA1_GROUP(15);
        QH_SHA1_GROUP(16);
        QH_SHA1_GROUP(17);
        QH_SHA1_GROUP(18);
        QH_SHA1_GROUP(19);
        e0 = _mm_sha1nexte_epu32(e0, eSaved);
        abcd = _mm_add_epi32(abcd, abcdSaved);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1b));
    state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(e0, 3));
}

// Four SHA-256 rounds: group i of 16.
#define QH_SHA256_GROUP(i)                                                                                             \
    do {                                                                                                               \
        if ((i) < 4)                                                                                                   \
            m[(i)&3] = QH_LOAD_BE(i, mask);                                                                            \
        __m128i msg =                                                                                                  \
            _mm_add_epi32(m[(i)&3], _mm_load_si128(reinterpret_cast<const __m128i*>(kSha256Constants + 4 * (i))));     \
        state1 = _mm_sha256rnds2_epu32(state1, state0, msg);                                                           \
        if ((i) >= 3 && (i) <= 14) {                                                                                   \
            const __m128i next = _mm_add_epi32(m[((i) + 1) & 3], _mm_alignr_epi8(m[(i)&3], m[((i)-1) & 3], 4));        \
            m[((i) + 1) & 3] = _mm_sha256msg2_epu32(next, m[(i)&3]);                                                   \
        }                                                                                                              \
        state0 = _mm_sha256rnds2_epu32(state0, state1, _mm_shuffle_epi32(msg, 0x0e));                                  \
        if ((i) >= 1 && (i) <= 12)                                                                                     \
            m[((i)-1) & 3] = _mm_sha256msg1_epu32(m[((i)-1) & 3], m[(i)&3]);                                           \
    } while (0)

QH_SHA_TARGET void Sha256BlocksShaNi(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
    const __m128i mask = _mm_set_epi64x(0x0c0d0e0f08090a0b, 0x0405060700010203);
    // The instructions keep the words as ABEF and CDGH.
    const __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xb1);
    const __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1b);
    __m128i state0 = _mm_alignr_epi8(dcba, efgh, 8);
    __m128i state1 = _mm_blend_epi16(efgh, dcba, 0xf0);
    for (; blocks != 0; --blocks, data += 64) {
        const __m128i abefSaved = state0;
        const __m128i cdghSaved = state1;
        __m128i m[4];
        QH_SHA256_GROUP(0);
        QH_SHA256_GROUP(1);
        QH_SHA256_GROUP(2);
        QH_SHA256_GROUP(3);
        QH_SHA256_GROUP(4);
        QH_SHA256_GROUP(5);
        QH_SHA256_GROUP(6);
        QH_SHA256_GROUP(7);
        QH_SHA256_GROUP(8);
        QH_SHA256_GROUP(9);
        QH_SHA256_GROUP(10);
        QH_SHA256_GROUP(11);
        QH_SHA256_GROUP(12);
        QH_SHA256_GROUP(13);
        QH_SHA256_GROUP(14);
        QH_SHA256_GROUP(15);
        state0 = _mm_add_epi32(state0, abefSaved);
        state1 = _mm_add_epi32(state1, cdghSaved);
    }
    const __m128i feba = _mm_shuffle_epi32(state0, 0x1b);
    const __m128i dchg = _mm_shuffle_epi32(state1, 0xb1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xf0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

#undef QH_SHA256_GROUP
#undef QH_SHA1_GROUP
#undef QH_LOAD_BE
#undef QH_SHA_TARGET

} // namespace qh::sha

#endif
