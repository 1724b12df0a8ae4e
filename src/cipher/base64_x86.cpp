// Base64 kernels for AVX2 (24 bytes to 32 characters and back per step) and
// AVX-512 with VBMI (48 bytes to 64 characters and back). Only these functions
// are compiled for the extensions, so the rest of the build stays baseline
// x86-64; base64.cpp calls them after a run-time check.
//
// Decoding turns each character into its 6-bit value and flags those outside
// the alphabet in the same step. A step with a flagged character keeps the
// groups before it; if the character stands at a group start, it and the
// flagged characters right after it are skipped (as the rules skip them
// there: line breaks between lines of whole groups) and the kernel goes on,
// otherwise the caller's portable code takes over from there. Packing is
// the same on both: multiply-adds join the four 6-bit values of a group into
// 24 bits within its 32-bit lane, and a byte shuffle writes the three bytes
// of each lane, most significant first.
#include "base64_internal.h"

#if defined(__x86_64__)

#include <algorithm>
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics start from a deliberately undefined register,
// which its flow analysis takes for an uninitialized read.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace qh::base64_detail {
namespace {

#define QH_AVX2 __attribute__((target("avx2")))
#define QH_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vbmi")))

// Four 6-bit values a b c d in the bytes of a 32-bit lane to a<<18 | b<<12 |
// c<<6 | d: first a<<6 | b and c<<6 | d in 16 bits each, then the two joined.
QH_AVX2 inline __m256i JoinGroups(__m256i values) {
    const __m256i pairs = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
    return _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00011000));
}

QH_AVX512 inline __m512i JoinGroups(__m512i values) {
    const __m512i pairs = _mm512_maddubs_epi16(values, _mm512_set1_epi32(0x01400140));
    return _mm512_madd_epi16(pairs, _mm512_set1_epi32(0x00011000));
}

// ---- AVX2 ----

// The 6-bit values of 32 characters; `bad` gets a set bit for every character
// outside the alphabet. Which characters are valid depends on both nibbles:
// each high nibble (2 to 7) stands for a class, and the low-nibble table holds
// the classes in which that low nibble is valid. Bytes 80 to FF have a high
// nibble of no class.
//   class 1: high 2, low B and F      ("+" and "/")
//   class 2: high 3, low 0 to 9       (digits)
//   class 4: high 4 or 6, low 1 to F  (A to O, a to o)
//   class 8: high 5 or 7, low 0 to A  (P to Z, p to z)
// The value is the character plus an offset chosen by the high nibble; "/"
// shares its high nibble with "+", so it takes the entry below.
QH_AVX2 inline __m256i DecodeValuesAvx2(__m256i chars, unsigned& bad) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i high = _mm256_and_si256(_mm256_srli_epi32(chars, 4), nibble);
    const __m256i low = _mm256_and_si256(chars, nibble);
    const __m256i lowClasses = _mm256_setr_epi8(0x0A, 0x0E, 0x0E, 0x0E, 0x0E, 0x0E, 0x0E, 0x0E, 0x0E, 0x0E, 0x0C, 0x05,
                                                0x04, 0x04, 0x04, 0x05, 0x0A, 0x0E, 0x0E, 0x0E, 0x0E, 0x0E, 0x0E, 0x0E,
                                                0x0E, 0x0E, 0x0C, 0x05, 0x04, 0x04, 0x04, 0x05);
    const __m256i highClass = _mm256_setr_epi8(0, 0, 1, 2, 4, 8, 4, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 4, 8, 4, 8,
                                               0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i valid = _mm256_and_si256(_mm256_shuffle_epi8(lowClasses, low), _mm256_shuffle_epi8(highClass, high));
    bad = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(valid, _mm256_setzero_si256())));

    const __m256i offsets = _mm256_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 19, 4,
                                             -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i slash = _mm256_cmpeq_epi8(chars, _mm256_set1_epi8('/'));
    return _mm256_add_epi8(chars, _mm256_shuffle_epi8(offsets, _mm256_add_epi8(high, slash)));
}

// The 6-bit values of 8 groups, one group per 32-bit lane, to their 24 bytes
// at the start of the register.
QH_AVX2 inline __m256i PackGroupsAvx2(__m256i values) {
    const __m256i order = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6, 5, 4, 10,
                                           9, 8, 14, 13, 12, -1, -1, -1, -1);
    const __m256i lanes = _mm256_shuffle_epi8(JoinGroups(values), order);
    return _mm256_permutevar8x32_epi32(lanes, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
}

// Twelve bytes in each 128-bit half to the 6-bit values of their 4 groups,
// one group per 32-bit lane in character order. The bytes b0 b1 b2 of a group
// are spread to b1 b0 b2 b1, so that the low 16 bits hold b0b1 and the high
// 16 bits b1b2; each 6-bit field is then masked and moved to its byte by a
// multiplication (high half for right shifts, low half for left shifts).
QH_AVX2 inline __m256i EncodeValuesAvx2(__m256i bytes) {
    const __m256i spread = _mm256_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10, 1, 0, 2, 1, 4, 3, 5, 4,
                                            7, 6, 8, 7, 10, 9, 11, 10);
    const __m256i words = _mm256_shuffle_epi8(bytes, spread);
    // b0b1 >> 10 and b1b2 >> 6 land in bytes 0 and 2.
    const __m256i right =
        _mm256_mulhi_epu16(_mm256_and_si256(words, _mm256_set1_epi32(0x0FC0FC00)), _mm256_set1_epi32(0x04000040));
    // (b0b1 >> 4) & 63 and b1b2 & 63 land in bytes 1 and 3.
    const __m256i left =
        _mm256_mullo_epi16(_mm256_and_si256(words, _mm256_set1_epi32(0x003F03F0)), _mm256_set1_epi32(0x01000010));
    return _mm256_or_si256(right, left);
}

// 6-bit values to characters: an offset chosen by the range of the value.
// Values above 51 are told apart by how far they exceed 51 (1 to 12); values
// 26 to 51 give 0 there, and values below 26 are marked with 13.
QH_AVX2 inline __m256i EncodeCharsAvx2(__m256i values) {
    const __m256i offsets = _mm256_setr_epi8(71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 65, 0, 0, 71, -4, -4,
                                             -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 65, 0, 0);
    const __m256i below26 = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), values);
    const __m256i range = _mm256_or_si256(_mm256_subs_epu8(values, _mm256_set1_epi8(51)),
                                          _mm256_and_si256(below26, _mm256_set1_epi8(13)));
    return _mm256_add_epi8(values, _mm256_shuffle_epi8(offsets, range));
}

// ---- AVX-512 VBMI ----

// Character to 6-bit value for the 128 ASCII characters; 0x80 marks those
// outside the alphabet. VPERMI2B looks up the low 7 bits of each character,
// so bytes 80 to FF are flagged by their own high bit.
constexpr unsigned char kInvalidValue = 0x80;

struct alignas(64) DecodeTable {
    unsigned char values[128];
};

constexpr DecodeTable MakeDecodeTable() {
    DecodeTable table{};
    for (unsigned char& value : table.values)
        value = kInvalidValue;
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        table.values[static_cast<unsigned char>(alphabet[i])] = static_cast<unsigned char>(i);
    return table;
}

constexpr DecodeTable kDecodeTable = MakeDecodeTable();
alignas(64) constexpr char kAlphabet[65] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Byte indices for VPERMB: the 3 bytes of each 32-bit lane's group, most
// significant first (decoding), and the 3 bytes of each group as b2 b1 b0 in
// a 32-bit lane (encoding).
struct alignas(64) ByteOrder {
    unsigned char index[64];
};

constexpr ByteOrder MakePackOrder() {
    ByteOrder order{};
    for (int g = 0; g < 16; ++g)
        for (int k = 0; k < 3; ++k)
            order.index[3 * g + k] = static_cast<unsigned char>(4 * g + 2 - k);
    return order;
}

constexpr ByteOrder MakeSpreadOrder() {
    ByteOrder order{};
    for (int g = 0; g < 16; ++g) {
        order.index[4 * g] = static_cast<unsigned char>(3 * g + 2);
        order.index[4 * g + 1] = static_cast<unsigned char>(3 * g + 1);
        order.index[4 * g + 2] = static_cast<unsigned char>(3 * g);
        order.index[4 * g + 3] = static_cast<unsigned char>(3 * g);
    }
    return order;
}

constexpr ByteOrder kPackOrder = MakePackOrder();
constexpr ByteOrder kSpreadOrder = MakeSpreadOrder();

// For VPMULTISHIFTQB: the bit offsets of the four 6-bit fields of the 24-bit
// group in each half of a 64-bit lane, most significant field first.
constexpr long long kFieldShifts = 0x20262C3200060C12;

QH_AVX512 inline __m512i Load512(const void* p) {
    return _mm512_load_si512(p);
}

// A mask of the low n bits, n from 0 to 64.
inline __mmask64 LowBits(std::size_t n) {
    return n >= 64 ? ~__mmask64{0} : (__mmask64{1} << n) - 1;
}

// The flags of a step's characters (not all zero): the number of characters
// up to the end of the run of flagged characters that begins with the first
// flagged one. Adding the lowest set bit carries the lowest run of ones away.
inline std::size_t PastFirstRun(std::uint64_t bad) {
    const std::uint64_t past = bad + (bad & (0 - bad));
    return past != 0 ? static_cast<std::size_t>(__builtin_ctzll(past)) : 64;
}

// Where the next step starts depends on the flags of this one, which arrive
// late; wrapped text, though, puts its line breaks at the same distance from
// a step start line after line. When the distance equals the last one, the
// remembered copy is used: the comparison becomes a branch the processor
// predicts, so it loads the next step before the flags are known. The empty
// asm keeps the compiler from using the computed distance there (they are
// equal), which would tie the next load to the flags again.
inline std::size_t Predicted(std::size_t distance, std::size_t& last) {
    if (distance == last) {
        __asm__("" : "+r"(last));
        return last;
    }
    last = distance;
    return distance;
}

} // namespace

QH_AVX2 std::size_t EncodeAvx2(const std::uint8_t* in, std::size_t n, char* out) {
    // Each step reads 16 bytes at in and at in + 12 and uses 24 of them.
    std::size_t done = 0;
    for (; n - done >= 28; done += 24, out += 32) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done + 12));
        const __m256i values = EncodeValuesAvx2(_mm256_set_m128i(second, first));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), EncodeCharsAvx2(values));
    }
    return done;
}

QH_AVX2 DecodeStep DecodeAvx2(const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room) {
    DecodeStep step{0, 0};
    std::size_t lastSkip = 0;
    while (n - step.taken >= 32 && room - step.written >= 24) {
        unsigned bad;
        const __m256i values =
            DecodeValuesAvx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + step.taken)), bad);
        const __m256i bytes = PackGroupsAvx2(values);
        // All 24 bytes are stored; those of groups from a foreign character
        // on are scratch within the room, overwritten later.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + step.written), _mm256_castsi256_si128(bytes));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + step.written + 16), _mm256_extracti128_si256(bytes, 1));
        if (bad == 0) {
            step.taken += 32;
            step.written += 24;
            continue;
        }
        // A foreign character: the groups before it are kept. If it stands at
        // a group start, it and the foreign characters right after it are
        // skipped; otherwise the portable code takes over from its group.
        const auto clean = static_cast<std::size_t>(__builtin_ctz(bad));
        step.written += clean / 4 * 3;
        if (clean % 4 != 0) {
            step.taken += clean / 4 * 4;
            break;
        }
        step.taken += Predicted(PastFirstRun(bad), lastSkip);
    }
    return step;
}

QH_AVX512 inline __m512i EncodeStep512(__m512i bytes, __m512i spread, __m512i shifts, __m512i alphabet) {
    const __m512i fields = _mm512_multishift_epi64_epi8(shifts, _mm512_permutexvar_epi8(spread, bytes));
    // VPERMB looks at the low 6 bits of each index only.
    return _mm512_permutexvar_epi8(fields, alphabet);
}

QH_AVX512 std::size_t EncodeAvx512Vbmi(const std::uint8_t* in, std::size_t n, char* out) {
    const __m512i spread = Load512(kSpreadOrder.index);
    const __m512i shifts = _mm512_set1_epi64(kFieldShifts);
    const __m512i alphabet = Load512(kAlphabet);
    std::size_t done = 0;
    // Steps of 16 groups, reading 64 bytes and using 48; then the groups left
    // (up to 21) with masked loads and stores.
    for (; n - done >= 64; done += 48, out += 64)
        _mm512_storeu_si512(out, EncodeStep512(_mm512_loadu_si512(in + done), spread, shifts, alphabet));
    while (n - done >= 3) {
        const std::size_t groups = std::min<std::size_t>((n - done) / 3, 16);
        const __m512i bytes = _mm512_maskz_loadu_epi8(LowBits(3 * groups), in + done);
        _mm512_mask_storeu_epi8(out, LowBits(4 * groups), EncodeStep512(bytes, spread, shifts, alphabet));
        done += 3 * groups;
        out += 4 * groups;
    }
    return done;
}

QH_AVX512 DecodeStep DecodeAvx512Vbmi(const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room) {
    const __m512i low = Load512(kDecodeTable.values);
    const __m512i high = Load512(kDecodeTable.values + 64);
    const __m512i pack = Load512(kPackOrder.index);
    DecodeStep step{0, 0};
    std::size_t lastSkip = 0;
    // Steps of 64 characters, the last one masked.
    while (n - step.taken >= 4) {
        const std::size_t length = n - step.taken >= 64 ? 64 : n - step.taken;
        const __mmask64 loaded = LowBits(length);
        const __m512i chars =
            length == 64 ? _mm512_loadu_si512(in + step.taken) : _mm512_maskz_loadu_epi8(loaded, in + step.taken);
        const __m512i values = _mm512_permutex2var_epi8(low, chars, high);
        const __mmask64 bad = _mm512_movepi8_mask(_mm512_or_si512(values, chars)) & loaded;
        const __m512i bytes = _mm512_permutexvar_epi8(pack, JoinGroups(values));
        if (bad == 0 && length == 64) {
            if (room - step.written >= 64) {
                _mm512_storeu_si512(out + step.written, bytes); // 16 bytes of scratch at the end
            } else {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + step.written), _mm512_castsi512_si256(bytes));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + step.written + 32),
                                 _mm512_extracti32x4_epi32(bytes, 2));
            }
            step.taken += 64;
            step.written += 48;
            continue;
        }
        // A foreign character, or the end: as in DecodeAvx2.
        const std::size_t clean = bad != 0 ? static_cast<std::size_t>(__builtin_ctzll(bad)) : length;
        _mm512_mask_storeu_epi8(out + step.written, LowBits(clean / 4 * 3), bytes);
        step.written += clean / 4 * 3;
        if (bad == 0 || clean % 4 != 0) {
            step.taken += clean / 4 * 4;
            break;
        }
        step.taken += Predicted(PastFirstRun(bad), lastSkip);
    }
    return step;
}

#undef QH_AVX2
#undef QH_AVX512

} // namespace qh::base64_detail

#endif
