// SHA-384/512 block functions. The portable form unrolls the 80 rounds and
// keeps the message schedule in a rolling window of 16 words; on x86-64 the
// schedule can run on the vector units instead. SHA-384 differs only in its
// initial values and in the length of its digest (see sha.cpp).
#include "sha_internal.h"

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace qh::sha {
namespace {

constexpr std::uint64_t kK[80] = {
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc, 0x3956c25bf348b538,
    0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118, 0xd807aa98a3030242, 0x12835b0145706fbe,
    0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2, 0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235,
    0xc19bf174cf692694, 0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5, 0x983e5152ee66dfab,
    0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4, 0xc6e00bf33da88fc2, 0xd5a79147930aa725,
    0x06ca6351e003826f, 0x142929670a0e6e70, 0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed,
    0x53380d139d95b3df, 0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30, 0xd192e819d6ef5218,
    0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8, 0x19a4c116b8d2d0c8, 0x1e376c085141ab53,
    0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8, 0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373,
    0x682e6ff3d6b2b8a3, 0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b, 0xca273eceea26619c,
    0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178, 0x06f067aa72176fba, 0x0a637dc5a2c898a6,
    0x113f9804bef90dae, 0x1b710b35131c471b, 0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc,
    0x431d67c49c100d4c, 0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817,
};

inline std::uint64_t SmallSigma0(std::uint64_t x) {
    return Rotr64(x, 1) ^ Rotr64(x, 8) ^ (x >> 7);
}
inline std::uint64_t SmallSigma1(std::uint64_t x) {
    return Rotr64(x, 19) ^ Rotr64(x, 61) ^ (x >> 6);
}

// One round. Maj(a, b, c) is b ^ ((a ^ b) & (b ^ c)), and this round's a ^ b
// is the next round's b ^ c, kept in `bc`. With three-operand rotations
// (kRorx) the rotations of each sigma run side by side; otherwise they are
// nested, so that only one copy of the word is live.
template <bool kRorx>
inline void Round(std::uint64_t a, std::uint64_t b, std::uint64_t& d, std::uint64_t e, std::uint64_t f, std::uint64_t g,
                  std::uint64_t& h, std::uint64_t wk, std::uint64_t& bc) {
    std::uint64_t sigma0, sigma1;
    if constexpr (kRorx) {
        sigma1 = Rotr64(e, 14) ^ Rotr64(e, 18) ^ Rotr64(e, 41);
        sigma0 = Rotr64(a, 28) ^ Rotr64(a, 34) ^ Rotr64(a, 39);
    } else {
        sigma1 = Rotr64(Rotr64(Rotr64(e, 23) ^ e, 4) ^ e, 14);
        sigma0 = Rotr64(Rotr64(Rotr64(a, 5) ^ a, 6) ^ a, 28);
    }
    const std::uint64_t t1 = h + wk + sigma1 + (g ^ (e & (f ^ g)));
    const std::uint64_t ab = a ^ b;
    d += t1;
    h = t1 + sigma0 + (b ^ (ab & bc));
    bc = ab;
}

} // namespace

// W(t) for t >= 16, computed in place in the window slot of W(t - 16).
#define QH_SHA512_W(t)                                                                                                 \
    (w[(t)&15] += SmallSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + SmallSigma0(w[((t) + 1) & 15]))
// W(t) + K(t) for the portable rounds: loaded for t < 16, scheduled after.
#define QH_SHA512_WK_LOAD(t) ((w[(t)] = LoadBe64(data + 8 * (t))) + kK[t])
#define QH_SHA512_WK_NEXT(t) (QH_SHA512_W(t) + kK[t])

#define QH_SHA512_EIGHT(t, WK)                                                                                         \
    Round<kRorx>(a, b, d, e, f, g, h, WK((t)), bc);                                                                    \
    Round<kRorx>(h, a, c, d, e, f, g, WK((t) + 1), bc);                                                                \
    Round<kRorx>(g, h, b, c, d, e, f, WK((t) + 2), bc);                                                                \
    Round<kRorx>(f, g, a, b, c, d, e, WK((t) + 3), bc);                                                                \
    Round<kRorx>(e, f, h, a, b, c, d, WK((t) + 4), bc);                                                                \
    Round<kRorx>(d, e, g, h, a, b, c, WK((t) + 5), bc);                                                                \
    Round<kRorx>(c, d, f, g, h, a, b, WK((t) + 6), bc);                                                                \
    Round<kRorx>(b, c, e, f, g, h, a, WK((t) + 7), bc)

#define QH_SHA512_ALL_ROUNDS(FIRST, NEXT)                                                                              \
    QH_SHA512_EIGHT(0, FIRST);                                                                                         \
    QH_SHA512_EIGHT(8, FIRST);                                                                                         \
    QH_SHA512_EIGHT(16, NEXT);                                                                                         \
    QH_SHA512_EIGHT(24, NEXT);                                                                                         \
    QH_SHA512_EIGHT(32, NEXT);                                                                                         \
    QH_SHA512_EIGHT(40, NEXT);                                                                                         \
    QH_SHA512_EIGHT(48, NEXT);                                                                                         \
    QH_SHA512_EIGHT(56, NEXT);                                                                                         \
    QH_SHA512_EIGHT(64, NEXT);                                                                                         \
    QH_SHA512_EIGHT(72, NEXT)

#define QH_SHA512_ADD_STATE                                                                                            \
    state[0] += a;                                                                                                     \
    state[1] += b;                                                                                                     \
    state[2] += c;                                                                                                     \
    state[3] += d;                                                                                                     \
    state[4] += e;                                                                                                     \
    state[5] += f;                                                                                                     \
    state[6] += g;                                                                                                     \
    state[7] += h

void Sha512BlocksPortable(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks) {
    for (; blocks != 0; --blocks, data += 128) {
        constexpr bool kRorx = false;
        std::uint64_t w[16];
        std::uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
        std::uint64_t bc = b ^ c;
        QH_SHA512_ALL_ROUNDS(QH_SHA512_WK_LOAD, QH_SHA512_WK_NEXT);
        QH_SHA512_ADD_STATE;
    }
}

#if defined(__x86_64__)

// With vector units the message schedule runs on them, beside the scalar
// rounds (the bottleneck), which then read W(t) + K(t) from a table. Two
// blocks are scheduled at once: each vector holds two consecutive words of the
// first block in its low half and the same two of the second block in its high
// half. The first block's rounds run beside that work, the second's then read
// the table alone; a last odd block is scheduled by itself, four words a
// vector. AVX2 lacks 64-bit rotations and three-way xor, so each small sigma
// takes nine instructions there; AVX-512VL does it in four.
#define QH_AVX2 __attribute__((target("avx2,bmi,bmi2")))
#define QH_AVX512 __attribute__((target("avx2,bmi,bmi2,avx512f,avx512vl")))
#define QH_INLINE inline __attribute__((always_inline))

namespace {

QH_AVX2 QH_INLINE __m256i SmallSigma0Avx2(__m256i x) {
    const __m256i right =
        _mm256_xor_si256(_mm256_xor_si256(_mm256_srli_epi64(x, 1), _mm256_srli_epi64(x, 8)), _mm256_srli_epi64(x, 7));
    return _mm256_xor_si256(right, _mm256_xor_si256(_mm256_slli_epi64(x, 63), _mm256_slli_epi64(x, 56)));
}

QH_AVX2 QH_INLINE __m256i SmallSigma1Avx2(__m256i x) {
    const __m256i right =
        _mm256_xor_si256(_mm256_xor_si256(_mm256_srli_epi64(x, 19), _mm256_srli_epi64(x, 61)), _mm256_srli_epi64(x, 6));
    return _mm256_xor_si256(right, _mm256_xor_si256(_mm256_slli_epi64(x, 45), _mm256_slli_epi64(x, 3)));
}

QH_AVX512 QH_INLINE __m256i SmallSigma0Avx512(__m256i x) {
    return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 1), _mm256_ror_epi64(x, 8), _mm256_srli_epi64(x, 7), 0x96);
}

QH_AVX512 QH_INLINE __m256i SmallSigma1Avx512(__m256i x) {
    return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 19), _mm256_ror_epi64(x, 61), _mm256_srli_epi64(x, 6), 0x96);
}

// Reverses the bytes of each 64-bit word.
QH_AVX2 QH_INLINE __m256i ByteSwap64(__m256i x) {
    const __m256i swap = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8, //
                                          7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
    return _mm256_shuffle_epi8(x, swap);
}

// One block: words 1..4 of the eight words lo:hi (lo holding words 0..3).
QH_AVX2 QH_INLINE __m256i WordsFrom1(__m256i lo, __m256i hi) {
    return _mm256_alignr_epi8(_mm256_permute2x128_si256(lo, hi, 0x21), lo, 8);
}

QH_AVX2 QH_INLINE void StoreWk(__m256i words, std::uint64_t* wk, int t) {
    const __m256i k = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kK + t));
    _mm256_store_si256(reinterpret_cast<__m256i*>(wk + t), _mm256_add_epi64(words, k));
}

QH_AVX2 QH_INLINE __m256i LoadFour(const std::uint8_t* data, std::uint64_t* wk, int t) {
    const __m256i x = ByteSwap64(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 8 * t)));
    StoreWk(x, wk, t);
    return x;
}

// Two blocks: the table holds, for each even t, W(t) + K(t) and W(t + 1) +
// K(t + 1) of the first block, then the same of the second.
constexpr std::array<std::uint64_t, 160> PairConstants() {
    std::array<std::uint64_t, 160> pairs{};
    for (int t = 0; t < 80; t += 2) {
        pairs[2 * t] = pairs[2 * t + 2] = kK[t];
        pairs[2 * t + 1] = pairs[2 * t + 3] = kK[t + 1];
    }
    return pairs;
}
alignas(32) constexpr std::array<std::uint64_t, 160> kKPairs = PairConstants();

QH_AVX2 QH_INLINE void StorePairs(__m256i words, std::uint64_t* wk2, int t) {
    const __m256i k = _mm256_load_si256(reinterpret_cast<const __m256i*>(kKPairs.data() + 2 * t));
    _mm256_store_si256(reinterpret_cast<__m256i*>(wk2 + 2 * t), _mm256_add_epi64(words, k));
}

QH_AVX2 QH_INLINE __m256i LoadPairs(const std::uint8_t* data, std::uint64_t* wk2, int t) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 8 * t));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 128 + 8 * t));
    const __m256i x = ByteSwap64(_mm256_inserti128_si256(_mm256_castsi128_si256(first), second, 1));
    StorePairs(x, wk2, t);
    return x;
}

// The table's layouts: words one after the other, or by pairs of two blocks
// (the first block's W(t) at WkIndex(t), the second's two words further on).
enum class WkLayout { Words, Pairs };

template <WkLayout kLayout> constexpr int WkIndex(int round) {
    return kLayout == WkLayout::Words ? round : 4 * (round / 2) + (round & 1);
}

#if defined(__OPTIMIZE__)
// Eight rounds in one piece of assembly. Compilers spend a copy on nearly
// every two-operand instruction of a round and spill around it; written out
// with rorx and andn (three operands) a round takes 24 instructions. The names
// of the working variables turn by one each round, so after eight they are
// where they began and nothing moves between the pieces. Sigma0(a) joins the
// new a only at the start of the next round (`s0` carries it), off the path
// from one round to the next. Ch(e, f, g) is (e & f) + (~e & g), whose terms
// share no bit; Maj(a, b, c) is b ^ ((a ^ b) & (b ^ c)), and this round's a ^ b
// (NAB) is the next round's b ^ c (MAJ), so two registers take turns: the
// operand bc and rdx. rax and rcx are scratch. W: the operand of W(t) + K(t).
#define QH_SHA512_ASM_ROUND(A, B, D, E, F, G, H, MAJ, NAB, W)                                                          \
    "add %[s0], %[" #A "]\n\t"                                                                                         \
    "add %[" #W "], %[" #H "]\n\t"                                                                                     \
    "mov %[" #F "], %%rax\n\t"                                                                                         \
    "and %[" #E "], %%rax\n\t"                                                                                         \
    "rorx $41, %[" #E "], %%rcx\n\t"                                                                                   \
    "rorx $18, %[" #E "], " NAB "\n\t"                                                                                 \
    "add %%rax, %[" #H "]\n\t"                                                                                         \
    "andn %[" #G "], %[" #E "], %%rax\n\t"                                                                             \
    "xor " NAB ", %%rcx\n\t"                                                                                           \
    "rorx $14, %[" #E "], %[s0]\n\t"                                                                                   \
    "add %%rax, %[" #H "]\n\t"                                                                                         \
    "xor %[s0], %%rcx\n\t"                                                                                             \
    "mov %[" #A "], " NAB "\n\t"                                                                                       \
    "rorx $39, %[" #A "], %%rax\n\t"                                                                                   \
    "add %%rcx, %[" #H "]\n\t"                                                                                         \
    "xor %[" #B "], " NAB "\n\t"                                                                                       \
    "rorx $34, %[" #A "], %[s0]\n\t"                                                                                   \
    "rorx $28, %[" #A "], %%rcx\n\t"                                                                                   \
    "add %[" #H "], %[" #D "]\n\t"                                                                                     \
    "and " NAB ", " MAJ "\n\t"                                                                                         \
    "xor %%rax, %[s0]\n\t"                                                                                             \
    "xor %[" #B "], " MAJ "\n\t"                                                                                       \
    "xor %%rcx, %[s0]\n\t"                                                                                             \
    "add " MAJ ", %[" #H "]\n\t"

#define QH_SHA512_BC "%[bc]"
#define QH_SHA512_AB "%%rdx"

template <WkLayout kLayout>
__attribute__((target("bmi,bmi2"))) QH_INLINE void
EightRounds(std::uint64_t& a, std::uint64_t& b, std::uint64_t& c, std::uint64_t& d, std::uint64_t& e, std::uint64_t& f,
            std::uint64_t& g, std::uint64_t& h, std::uint64_t& bc, std::uint64_t& s0, const std::uint64_t* wk) {
    // clang-format off
    asm(QH_SHA512_ASM_ROUND(a, b, d, e, f, g, h, QH_SHA512_BC, QH_SHA512_AB, w0)
        QH_SHA512_ASM_ROUND(h, a, c, d, e, f, g, QH_SHA512_AB, QH_SHA512_BC, w1)
        QH_SHA512_ASM_ROUND(g, h, b, c, d, e, f, QH_SHA512_BC, QH_SHA512_AB, w2)
        QH_SHA512_ASM_ROUND(f, g, a, b, c, d, e, QH_SHA512_AB, QH_SHA512_BC, w3)
        QH_SHA512_ASM_ROUND(e, f, h, a, b, c, d, QH_SHA512_BC, QH_SHA512_AB, w4)
        QH_SHA512_ASM_ROUND(d, e, g, h, a, b, c, QH_SHA512_AB, QH_SHA512_BC, w5)
        QH_SHA512_ASM_ROUND(c, d, f, g, h, a, b, QH_SHA512_BC, QH_SHA512_AB, w6)
        QH_SHA512_ASM_ROUND(b, c, e, f, g, h, a, QH_SHA512_AB, QH_SHA512_BC, w7)
        : [a] "+r"(a), [b] "+r"(b), [c] "+r"(c), [d] "+r"(d), [e] "+r"(e), [f] "+r"(f), [g] "+r"(g), [h] "+r"(h),
          [bc] "+r"(bc), [s0] "+r"(s0)
        : [w0] "m"(wk[WkIndex<kLayout>(0)]), [w1] "m"(wk[WkIndex<kLayout>(1)]), [w2] "m"(wk[WkIndex<kLayout>(2)]),
          [w3] "m"(wk[WkIndex<kLayout>(3)]), [w4] "m"(wk[WkIndex<kLayout>(4)]), [w5] "m"(wk[WkIndex<kLayout>(5)]),
          [w6] "m"(wk[WkIndex<kLayout>(6)]), [w7] "m"(wk[WkIndex<kLayout>(7)])
        : "rax", "rcx", "rdx", "cc");
    // clang-format on
}

#undef QH_SHA512_AB
#undef QH_SHA512_BC
#undef QH_SHA512_ASM_ROUND

#define QH_SHA512_EIGHT_FAST(t, WK, LAYOUT) EightRounds<WkLayout::LAYOUT>(a, b, c, d, e, f, g, h, bc, s0, &WK((t)))
#else
// Unoptimised builds have too few free registers for the assembly.
#define QH_SHA512_EIGHT_FAST(t, WK, LAYOUT) QH_SHA512_EIGHT(t, WK)
#endif

} // namespace

// One block, W(t..t+3) = W(t-16..) + s0(W(t-15..)) + W(t-7..) + s1(W(t-2..)),
// from the words t-16 .. t-1 in x0 .. x3, which then move on by four; s1 of
// W(t) and W(t+1) is known only once the first half is done.
#define QH_SHA512_FOUR(t, S0, S1)                                                                                      \
    do {                                                                                                               \
        __m256i next = _mm256_add_epi64(_mm256_add_epi64(x0, S0(WordsFrom1(x0, x1))), WordsFrom1(x2, x3));             \
        const __m256i s1High = S1(x3);                                                                                 \
        next = _mm256_add_epi64(next, _mm256_permute2x128_si256(s1High, s1High, 0x81));                                \
        const __m256i s1Low = S1(next);                                                                                \
        next = _mm256_add_epi64(next, _mm256_permute2x128_si256(s1Low, s1Low, 0x08));                                  \
        x0 = x1;                                                                                                       \
        x1 = x2;                                                                                                       \
        x2 = x3;                                                                                                       \
        x3 = next;                                                                                                     \
        StoreWk(next, wk, t);                                                                                          \
    } while (0)

// Two blocks, W(t) and W(t+1) of each, from the pairs t-16 .. t-1 in y0 .. y7.
#define QH_SHA512_TWO(t, S0, S1)                                                                                       \
    do {                                                                                                               \
        __m256i next =                                                                                                 \
            _mm256_add_epi64(_mm256_add_epi64(y0, S0(_mm256_alignr_epi8(y1, y0, 8))), _mm256_alignr_epi8(y5, y4, 8));  \
        next = _mm256_add_epi64(next, S1(y7));                                                                         \
        y0 = y1;                                                                                                       \
        y1 = y2;                                                                                                       \
        y2 = y3;                                                                                                       \
        y3 = y4;                                                                                                       \
        y4 = y5;                                                                                                       \
        y5 = y6;                                                                                                       \
        y6 = y7;                                                                                                       \
        y7 = next;                                                                                                     \
        StorePairs(next, wk2, t);                                                                                      \
    } while (0)

#define QH_SHA512_WK_TABLE(t) (wk[t])
#define QH_SHA512_WK_FIRST(t) (wk2[WkIndex<WkLayout::Pairs>(t)])
#define QH_SHA512_WK_SECOND(t) (wk2[WkIndex<WkLayout::Pairs>(t) + 2])

// Eight rounds, and the schedule of the eight words that the rounds after the
// next eight need, so that vector and scalar work overlap.
#define QH_SHA512_EIGHT_AHEAD(t, S0, S1)                                                                               \
    QH_SHA512_EIGHT_FAST(t, QH_SHA512_WK_TABLE, Words);                                                                \
    QH_SHA512_FOUR((t) + 16, S0, S1);                                                                                  \
    QH_SHA512_FOUR((t) + 20, S0, S1)

#define QH_SHA512_EIGHT_AHEAD_PAIRS(t, S0, S1)                                                                         \
    QH_SHA512_EIGHT_FAST(t, QH_SHA512_WK_FIRST, Pairs);                                                                \
    QH_SHA512_TWO((t) + 16, S0, S1);                                                                                   \
    QH_SHA512_TWO((t) + 18, S0, S1);                                                                                   \
    QH_SHA512_TWO((t) + 20, S0, S1);                                                                                   \
    QH_SHA512_TWO((t) + 22, S0, S1)

// The second block's rounds, whose words the first block's rounds scheduled.
#define QH_SHA512_EIGHT_SECOND(t, S0, S1) QH_SHA512_EIGHT_FAST(t, QH_SHA512_WK_SECOND, Pairs)

// The eighty rounds of one block: EIGHT runs the first 64 (and the schedule
// beside them), the last 16 read W(t) + K(t) through WK.
#define QH_SHA512_EIGHTY_ROUNDS(EIGHT, WK, LAYOUT, S0, S1)                                                             \
    do {                                                                                                               \
        std::uint64_t a = state[0], b = state[1], c = state[2], d = state[3];                                          \
        std::uint64_t e = state[4], f = state[5], g = state[6], h = state[7];                                          \
        std::uint64_t bc = b ^ c, s0 = 0;                                                                              \
        EIGHT(0, S0, S1);                                                                                              \
        EIGHT(8, S0, S1);                                                                                              \
        EIGHT(16, S0, S1);                                                                                             \
        EIGHT(24, S0, S1);                                                                                             \
        EIGHT(32, S0, S1);                                                                                             \
        EIGHT(40, S0, S1);                                                                                             \
        EIGHT(48, S0, S1);                                                                                             \
        EIGHT(56, S0, S1);                                                                                             \
        QH_SHA512_EIGHT_FAST(64, WK, LAYOUT);                                                                          \
        QH_SHA512_EIGHT_FAST(72, WK, LAYOUT);                                                                          \
        a += s0; /* the last Sigma0(a); zero for the portable rounds */                                                \
        QH_SHA512_ADD_STATE;                                                                                           \
    } while (0)

// The body of the vector block functions, which differ in their sigmas.
#define QH_SHA512_VECTOR_BLOCKS(S0, S1)                                                                                \
    [[maybe_unused]] constexpr bool kRorx = true; /* the rounds without the assembly */                                \
    alignas(32) std::uint64_t wk2[160];                                                                                \
    for (; blocks >= 2; blocks -= 2, data += 256) {                                                                    \
        __m256i y0 = LoadPairs(data, wk2, 0), y1 = LoadPairs(data, wk2, 2), y2 = LoadPairs(data, wk2, 4);              \
        __m256i y3 = LoadPairs(data, wk2, 6), y4 = LoadPairs(data, wk2, 8), y5 = LoadPairs(data, wk2, 10);             \
        __m256i y6 = LoadPairs(data, wk2, 12), y7 = LoadPairs(data, wk2, 14);                                          \
        QH_SHA512_EIGHTY_ROUNDS(QH_SHA512_EIGHT_AHEAD_PAIRS, QH_SHA512_WK_FIRST, Pairs, S0, S1);                       \
        QH_SHA512_EIGHTY_ROUNDS(QH_SHA512_EIGHT_SECOND, QH_SHA512_WK_SECOND, Pairs, S0, S1);                           \
    }                                                                                                                  \
    alignas(32) std::uint64_t wk[80];                                                                                  \
    if (blocks != 0) {                                                                                                 \
        __m256i x0 = LoadFour(data, wk, 0), x1 = LoadFour(data, wk, 4);                                                \
        __m256i x2 = LoadFour(data, wk, 8), x3 = LoadFour(data, wk, 12);                                               \
        QH_SHA512_EIGHTY_ROUNDS(QH_SHA512_EIGHT_AHEAD, QH_SHA512_WK_TABLE, Words, S0, S1);                             \
    }

QH_AVX2 void Sha512BlocksAvx2(std::uint64_t* state, const std::uint8_t* data,
                              std::size_t blocks){QH_SHA512_VECTOR_BLOCKS(SmallSigma0Avx2, SmallSigma1Avx2)}

QH_AVX512 void Sha512BlocksAvx512(std::uint64_t* state, const std::uint8_t* data, std::size_t blocks) {
    QH_SHA512_VECTOR_BLOCKS(SmallSigma0Avx512, SmallSigma1Avx512)
}

#undef QH_SHA512_VECTOR_BLOCKS
#undef QH_SHA512_EIGHTY_ROUNDS
#undef QH_SHA512_EIGHT_SECOND
#undef QH_SHA512_EIGHT_AHEAD_PAIRS
#undef QH_SHA512_EIGHT_AHEAD
#undef QH_SHA512_WK_SECOND
#undef QH_SHA512_WK_FIRST
#undef QH_SHA512_WK_TABLE
#undef QH_SHA512_TWO
#undef QH_SHA512_FOUR
#undef QH_SHA512_EIGHT_FAST
#undef QH_INLINE
#undef QH_AVX512
#undef QH_AVX2

#endif

#undef QH_SHA512_ADD_STATE
#undef QH_SHA512_ALL_ROUNDS
#undef QH_SHA512_EIGHT
#undef QH_SHA512_WK_NEXT
#undef QH_SHA512_WK_LOAD
#undef QH_SHA512_W

} // namespace qh::sha
