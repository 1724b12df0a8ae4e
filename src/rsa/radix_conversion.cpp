#include "radix_conversion.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace qh {

namespace {

constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";

// The digit values of `digits` in `base`, most significant first, without
// leading zeros; false when the text holds no digit of the base at all.
bool SourceDigits(std::string_view digits, int base, std::vector<std::uint8_t>& values) {
    values.reserve(digits.size());
    bool anyDigit = false;
    for (const char c : digits) {
        const int value = RadixDigitValue(c);
        if (value < 0 || value >= base)
            continue;
        anyDigit = true;
        if (values.empty() && value == 0)
            continue; // leading zeros carry nothing
        values.push_back(static_cast<std::uint8_t>(value));
    }
    return anyDigit;
}

// Natural numbers in radix B (2^32 or 10^9): limbs below B, least significant
// first, no zero limbs on top (zero has none). Every product of two limbs plus
// two more limbs fits in 64 bits.
using Limb = std::uint32_t;
using Limbs = std::vector<Limb>;
using View = std::span<const Limb>;

View Trimmed(View v) {
    while (!v.empty() && v.back() == 0)
        v = v.first(v.size() - 1);
    return v;
}

void Trim(Limbs& v) {
    while (!v.empty() && v.back() == 0)
        v.pop_back();
}

// r += x * B^shift.
template <std::uint64_t B> void AddShifted(Limbs& r, View x, std::size_t shift) {
    if (x.empty())
        return;
    if (r.size() < shift + x.size() + 1)
        r.resize(shift + x.size() + 1, 0);
    std::uint64_t carry = 0;
    std::size_t i = 0;
    for (; i < x.size(); ++i) {
        const std::uint64_t t = std::uint64_t{r[shift + i]} + x[i] + carry;
        r[shift + i] = static_cast<Limb>(t % B);
        carry = t / B;
    }
    for (std::size_t at = shift + i; carry != 0; ++at) {
        if (at == r.size())
            r.push_back(0);
        const std::uint64_t t = std::uint64_t{r[at]} + carry;
        r[at] = static_cast<Limb>(t % B);
        carry = t / B;
    }
}

// r -= x, where r >= x.
template <std::uint64_t B> void Subtract(Limbs& r, View x) {
    std::uint64_t borrow = 0;
    for (std::size_t i = 0; i < r.size() && (i < x.size() || borrow != 0); ++i) {
        const std::uint64_t take = (i < x.size() ? x[i] : 0) + borrow;
        borrow = r[i] < take ? 1 : 0;
        r[i] = static_cast<Limb>(r[i] + borrow * B - take);
    }
    Trim(r);
}

template <std::uint64_t B> Limbs Sum(View a, View b) {
    Limbs r(a.begin(), a.end());
    AddShifted<B>(r, b, 0);
    Trim(r);
    return r;
}

template <std::uint64_t B> Limbs MultiplySchoolbook(View a, View b) {
    Limbs r(a.size() + b.size(), 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            const std::uint64_t t = std::uint64_t{a[i]} * b[j] + r[i + j] + carry;
            r[i + j] = static_cast<Limb>(t % B);
            carry = t / B;
        }
        r[i + b.size()] = static_cast<Limb>(carry);
    }
    Trim(r);
    return r;
}

// Below this many limbs in the shorter factor, schoolbook multiplication is
// faster than Karatsuba's.
constexpr std::size_t kKaratsubaLimbs = 24;

// Karatsuba's multiplication: with a = a1 B^m + a0 and b = b1 B^m + b0,
// a b = z2 B^2m + z1 B^m + z0 where z0 = a0 b0, z2 = a1 b1 and
// z1 = (a0 + a1)(b0 + b1) - z0 - z2: three products of half the size. A factor
// at most half as long as the other multiplies each half of the longer one.
template <std::uint64_t B> Limbs Multiply(View a, View b) {
    a = Trimmed(a);
    b = Trimmed(b);
    if (a.size() < b.size())
        std::swap(a, b);
    if (b.size() < kKaratsubaLimbs)
        return MultiplySchoolbook<B>(a, b);
    const std::size_t m = (a.size() + 1) / 2;
    const View a0 = a.first(m), a1 = a.subspan(m);
    if (b.size() <= m) {
        Limbs r = Multiply<B>(a0, b);
        AddShifted<B>(r, Multiply<B>(a1, b), m);
        Trim(r);
        return r;
    }
    const View b0 = b.first(m), b1 = b.subspan(m);
    Limbs z0 = Multiply<B>(a0, b0);
    const Limbs z2 = Multiply<B>(a1, b1);
    Limbs z1 = Multiply<B>(Sum<B>(a0, a1), Sum<B>(b0, b1));
    Subtract<B>(z1, z0);
    Subtract<B>(z1, z2);
    AddShifted<B>(z0, z1, m);
    AddShifted<B>(z0, z2, 2 * m);
    Trim(z0);
    return z0;
}

// Digits of the source base to radix-B limbs by divide and conquer: a run of
// digits splits into a high and a low part, N = H from^m + L, the parts convert
// alone and meet in one multiplication by from^m and one addition, all in
// radix B. The low part of a run at level j has base * 2^(j-1) digits, so the
// powers from^(base * 2^j) are made once, each the square of the one before.
template <std::uint64_t B> class Converter {
public:
    Converter(const std::vector<std::uint8_t>& digits, int from) : digits_(digits), from_(from) {
        // A chunk of digits is worth at most 2^32, so that limb * from^chunkDigits
        // + carry stays within 64 bits.
        for (std::uint64_t chunk = from; chunk <= (std::uint64_t{1} << 32); chunk *= static_cast<std::uint64_t>(from))
            ++chunkDigits_;
        baseDigits_ = kBaseChunks * chunkDigits_;
    }

    Limbs convert() {
        int level = 0;
        while ((baseDigits_ << level) < digits_.size())
            ++level;
        if (level > 0) {
            const std::uint8_t one = 1;
            powers_.push_back(fromDigits(&one, 1, baseDigits_));
            for (int j = 1; j < level; ++j)
                powers_.push_back(Multiply<B>(powers_.back(), powers_.back()));
        }
        return convert(digits_.data(), digits_.size(), level);
    }

private:
    // The base case's size in chunks: below it, digits convert one chunk at a
    // time by schoolbook multiply-and-add.
    static constexpr std::size_t kBaseChunks = 16;

    Limbs convert(const std::uint8_t* d, std::size_t len, int level) {
        if (level == 0)
            return fromDigits(d, len, 0);
        const std::size_t half = baseDigits_ << (level - 1);
        if (len <= half)
            return convert(d, len, level - 1);
        Limbs result = Multiply<B>(convert(d, len - half, level - 1), powers_[level - 1]);
        AddShifted<B>(result, convert(d + len - half, half, level - 1), 0);
        Trim(result);
        return result;
    }

    // The value of `len` digits at `d` followed by `zeros` zero digits, one
    // chunk of digits at a time.
    Limbs fromDigits(const std::uint8_t* d, std::size_t len, std::size_t zeros) const {
        Limbs r;
        const std::size_t all = len + zeros;
        std::size_t at = 0;
        // The first chunk takes the digits that do not fill a whole one.
        std::size_t take = all % chunkDigits_ != 0 ? all % chunkDigits_ : chunkDigits_;
        while (at < all) {
            std::uint64_t multiplier = 1;
            std::uint64_t carry = 0; // the chunk's value, then the carry
            for (std::size_t i = 0; i < take; ++i, ++at) {
                multiplier *= static_cast<std::uint64_t>(from_);
                carry = carry * static_cast<std::uint64_t>(from_) + (at < len ? d[at] : 0);
            }
            for (Limb& limb : r) {
                const std::uint64_t t = std::uint64_t{limb} * multiplier + carry;
                limb = static_cast<Limb>(t % B);
                carry = t / B;
            }
            for (; carry != 0; carry /= B)
                r.push_back(static_cast<Limb>(carry % B));
            take = chunkDigits_;
        }
        Trim(r);
        return r;
    }

    const std::vector<std::uint8_t>& digits_;
    const int from_;
    std::size_t chunkDigits_ = 0;
    std::size_t baseDigits_ = 0;
    std::vector<Limbs> powers_;
};

// The digits of radix-B limbs, each limb `perLimb` digits of `base`.
std::string ToDigits(const Limbs& limbs, int base, int perLimb) {
    if (limbs.empty())
        return "0";
    std::string text;
    text.reserve(limbs.size() * static_cast<std::size_t>(perLimb));
    char buffer[64];
    for (std::size_t i = limbs.size(); i-- > 0;) {
        std::uint64_t limb = limbs[i];
        int count = 0;
        for (; count < perLimb && (limb != 0 || i + 1 < limbs.size()); ++count, limb /= static_cast<unsigned>(base))
            buffer[count] = kDigits[limb % static_cast<unsigned>(base)];
        while (count > 0)
            text.push_back(buffer[--count]);
    }
    return text;
}

template <std::uint64_t B> std::string Convert(const std::vector<std::uint8_t>& digits, int from, int to, int perLimb) {
    Converter<B> converter(digits, from);
    return ToDigits(converter.convert(), to, perLimb);
}

} // namespace

int RadixDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return -1;
}

std::string ConvertRadix(std::string_view digits, int fromBase, int toBase) {
    if (fromBase < 2 || fromBase > 36 || (toBase != 10 && toBase != 16))
        return ConvertRadixSchoolbook(digits, fromBase, toBase);
    std::vector<std::uint8_t> values;
    if (!SourceDigits(digits, fromBase, values))
        return {};
    return toBase == 16 ? Convert<std::uint64_t{1} << 32>(values, fromBase, 16, 8)
                        : Convert<1000000000>(values, fromBase, 10, 9);
}

// Repeated division of the source digits by a power of the target base, so
// that each pass over the (shrinking) quotient yields several target digits
// at once. The result is the same as dividing by the base itself, with fewer
// passes: digit strings of any length convert in quadratic time, nothing is cut.
std::string ConvertRadixSchoolbook(std::string_view digits, int fromBase, int toBase) {
    if (fromBase < 2 || fromBase > 36 || toBase < 2 || toBase > 36)
        return {};
    std::vector<std::uint8_t> quotient;
    if (!SourceDigits(digits, fromBase, quotient))
        return {};

    // divisor = toBase^perPass, the largest power not above 2^32, so that
    // remainder * fromBase + digit stays far below 2^64.
    std::uint64_t divisor = 1;
    int perPass = 0;
    while (divisor * static_cast<std::uint64_t>(toBase) <= (std::uint64_t{1} << 32)) {
        divisor *= static_cast<std::uint64_t>(toBase);
        ++perPass;
    }

    std::string reversed; // least significant digit first
    while (!quotient.empty()) {
        std::uint64_t remainder = 0;
        std::size_t kept = 0; // the next quotient, written over the current one
        for (const std::uint8_t digit : quotient) {
            remainder = remainder * static_cast<std::uint64_t>(fromBase) + digit;
            const auto next = static_cast<std::uint8_t>(remainder / divisor);
            remainder %= divisor;
            if (kept > 0 || next != 0)
                quotient[kept++] = next;
        }
        quotient.resize(kept);
        for (int i = 0; i < perPass; ++i) {
            reversed.push_back(kDigits[remainder % static_cast<std::uint64_t>(toBase)]);
            remainder /= static_cast<std::uint64_t>(toBase);
        }
    }
    while (reversed.size() > 1 && reversed.back() == '0')
        reversed.pop_back();
    if (reversed.empty())
        reversed.assign(1, '0'); // all zeros (not = "0": GCC 12 warns wrongly on that)
    return {reversed.rbegin(), reversed.rend()};
}

} // namespace qh
