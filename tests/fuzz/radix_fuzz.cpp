// libFuzzer target for the RSA panes' numbers: digit strings of any base
// convert to decimal and hexadecimal as the schoolbook conversion does (for
// inputs short enough for its quadratic time), decimal and hexadecimal round
// trip through each other, and number texts clean to their digits.
//
// Input layout: the source base byte, then the digits.
#include "fuzz_support.h"
#include "radix_conversion.h"
#include "rsa_numbers.h"

#include <cstdint>
#include <string>

using qh::fuzz::Require;

namespace {

// The digits of `text` that are digits of `base`, without leading zeros; "0"
// when all are zeros, empty when there are none.
std::string Canonical(std::string_view text, int base) {
    std::string digits;
    bool any = false;
    for (const char c : text) {
        const int value = qh::RadixDigitValue(c);
        if (value < 0 || value >= base)
            continue;
        any = true;
        if (!digits.empty() || value != 0)
            digits.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    }
    return digits.empty() && any ? "0" : digits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int from = 2 + data[0] % 35;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    for (const int to : {10, 16}) {
        const std::string fast = qh::ConvertRadix(text, from, to);
        if (text.size() <= 1500)
            Require(fast == qh::ConvertRadixSchoolbook(text, from, to));
        Require(fast == Canonical(fast, to));
        if (from == to)
            Require(fast == Canonical(text, to));
    }

    const std::string decimal = Canonical(text, 10);
    const std::string hex = qh::ConvertRadix(decimal, 10, 16);
    Require(qh::ConvertRadix(hex, 16, 10) == decimal);
    const std::string hexDigits = Canonical(text, 16);
    Require(qh::ConvertRadix(qh::ConvertRadix(hexDigits, 16, 10), 10, 16) == hexDigits);

    for (const int base : {10, 16}) {
        const std::optional<std::string> clean = qh::CleanNumber(text, base);
        std::string kept;
        bool foreign = false;
        for (const char c : text) {
            const int value = qh::RadixDigitValue(c);
            if (value >= 0 && value < base)
                kept.push_back(c);
            else if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                foreign = true;
        }
        Require(clean == (foreign ? std::nullopt : std::optional<std::string>(kept)));
    }
    const int words = qh::PrimeWordsForKeyLength(text);
    Require(words >= 0 && words <= qh::kMaxKeyLengthBits / 64);
    return 0;
}
