#include "rsa_numbers.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace qh {

namespace {

// The value of a digit character ('0'-'9', then 'a' or 'A' = 10 onward), or -1.
int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

// Repeated division of the source digits by a power of the target base, so
// that each pass over the (shrinking) quotient yields several target digits
// at once. The result is the same as dividing by the base itself, with fewer
// passes: digit strings of any length convert in quadratic time, nothing is cut.
// Characters that are not digits of the source base are skipped; callers check
// their text with CleanNumber before, so this only keeps garbage harmless.
std::string ConvertRadix(std::string_view digits, int fromBase, int toBase) {
    if (fromBase < 2 || fromBase > 36 || toBase < 2 || toBase > 36)
        return {};
    std::vector<std::uint8_t> quotient;
    quotient.reserve(digits.size());
    bool anyDigit = false;
    for (const char c : digits) {
        const int value = DigitValue(c);
        if (value < 0 || value >= fromBase)
            continue;
        anyDigit = true;
        if (quotient.empty() && value == 0)
            continue; // leading zeros carry nothing
        quotient.push_back(static_cast<std::uint8_t>(value));
    }
    if (!anyDigit)
        return {};

    // divisor = toBase^perPass, the largest power not above 2^32, so that
    // remainder * fromBase + digit stays far below 2^64.
    std::uint64_t divisor = 1;
    int perPass = 0;
    while (divisor * static_cast<std::uint64_t>(toBase) <= (std::uint64_t{1} << 32)) {
        divisor *= static_cast<std::uint64_t>(toBase);
        ++perPass;
    }

    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
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

std::optional<std::string> CleanNumber(std::string_view text, int base) {
    if (base != 10 && base != 16)
        return std::nullopt;
    std::string digits;
    digits.reserve(text.size());
    for (const char c : text) {
        if (IsBlank(c))
            continue;
        const int value = DigitValue(c);
        if (value < 0 || value >= base)
            return std::nullopt;
        digits.push_back(c);
    }
    return digits;
}

// Read as C's atoi reads (leading blanks, a sign, then digits up to the first
// other character), but saturating instead of overflowing.
int PrimeWordsForKeyLength(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (IsBlank(text[at]) || text[at] == '\v' || text[at] == '\f'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    long long bits = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        bits = bits * 10 + (text[at] - '0');
        if (bits > INT_MAX) {
            bits = INT_MAX;
            break;
        }
    }
    if (negative || bits < 64)
        bits = 64;
    return bits > kMaxKeyLengthBits ? 0 : static_cast<int>(bits / 64);
}

namespace {

// The round trip with the status of a failed call: a call that fails is a
// fault of the component or of the numbers, not a key that merely does not work.
RsaAnswer RoundTrip(RsaClient& client, const std::string& n, const std::string& e, const std::string& d) {
    const RsaResult sealed = client.powerMod(n, e, "1234");
    if (!sealed.ok())
        return {sealed.status, false};
    const RsaResult opened = client.powerMod(n, d, sealed.value);
    if (!opened.ok())
        return {opened.status, false};
    return {QH_RSA_OK, opened.value == "1234"};
}

} // namespace

bool RoundTripPasses(RsaClient& client, const std::string& n, const std::string& e, const std::string& d) {
    return RoundTrip(client, n, e, d).yes;
}

// A random e without an inverse modulo (p-1)(q-1) is an ordinary failed
// attempt (its d is left empty); any other failed call ends generation with
// that call's status, since retrying cannot help.
GeneratedKey GenerateKey(RsaClient& client, int words) {
    constexpr int kAttempts = 50;
    GeneratedKey key;
    RsaResult p = client.randomPrime(words);
    if (!p.ok()) {
        key.status = p.status;
        return key;
    }
    key.p = std::move(p.value);
    RsaResult q = client.randomPrime(words);
    if (!q.ok()) {
        key.status = q.status;
        return key;
    }
    key.q = std::move(q.value);
    RsaResult n = client.multiply(key.p, key.q);
    if (!n.ok()) {
        key.status = n.status;
        return key;
    }
    key.n = std::move(n.value);

    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        RsaResult e = client.randomExponent();
        if (!e.ok()) {
            key.status = e.status;
            return key;
        }
        key.e = std::move(e.value);
        RsaResult d = client.inverseModPhi(key.p, key.q, key.e);
        if (d.status == QH_RSA_E_NOT_INVERTIBLE) {
            key.d.clear();
            continue;
        }
        if (!d.ok()) {
            key.status = d.status;
            return key;
        }
        key.d = std::move(d.value);
        const RsaAnswer trip = RoundTrip(client, key.n, key.e, key.d);
        if (!trip.ok()) {
            key.status = trip.status;
            return key;
        }
        if (trip.yes) {
            key.status = QH_RSA_OK;
            key.attempts = attempt;
            key.passed = true;
            return key;
        }
    }
    key.status = QH_RSA_OK; // every call worked; no attempt passed the round trip
    return key;
}

} // namespace qh
