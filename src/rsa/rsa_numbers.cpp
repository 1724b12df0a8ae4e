#include "rsa_numbers.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace qh {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::optional<std::string> CleanNumber(std::string_view text, int base) {
    if (base != 10 && base != 16)
        return std::nullopt;
    std::string digits;
    digits.reserve(text.size());
    for (const char c : text) {
        if (IsBlank(c))
            continue;
        const int value = RadixDigitValue(c);
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

namespace {

// The report function of the prime searches inside GenerateKey: it leaves the
// record's counters to GenerateKey's steps and only passes the cancel on.
int StopWhenCancelled(void* context, std::uint64_t, std::uint64_t) {
    return static_cast<const Progress*>(context)->Cancelled() ? 1 : 0;
}

// Publishes the steps taken; false when the caller cancelled.
bool Step(Progress* progress, std::uint64_t steps) {
    if (progress != nullptr)
        progress->done.store(steps, std::memory_order_relaxed);
    return !IsCancelled(progress);
}

// The key as far as it got, with the status that ended generation; nothing
// but the status when the caller cancelled.
GeneratedKey Ended(GeneratedKey key, int status) {
    if (status == QH_RSA_E_CANCELLED)
        key = GeneratedKey{};
    key.status = status;
    return key;
}

} // namespace

// A random e without an inverse modulo (p-1)(q-1) is an ordinary failed
// attempt (its d is left empty); any other failed call ends generation with
// that call's status, since retrying cannot help.
GeneratedKey GenerateKey(RsaClient& client, int words, Progress* progress) {
    constexpr int kAttempts = 50;
    const QhRsaProgress searching = {progress != nullptr ? StopWhenCancelled : nullptr, progress};
    if (progress != nullptr)
        progress->SetTotal(0);
    GeneratedKey key;
    std::uint64_t steps = 0; // primes found, then attempts made
    for (std::string* prime : {&key.p, &key.q}) {
        if (!Step(progress, steps))
            return Ended(key, QH_RSA_E_CANCELLED);
        RsaResult found = client.randomPrime(words, searching);
        if (!found.ok())
            return Ended(key, found.status);
        *prime = std::move(found.value);
        ++steps;
    }
    RsaResult n = client.multiply(key.p, key.q);
    if (!n.ok())
        return Ended(key, n.status);
    key.n = std::move(n.value);

    for (int attempt = 1; attempt <= kAttempts; ++attempt, ++steps) {
        if (!Step(progress, steps))
            return Ended(key, QH_RSA_E_CANCELLED);
        RsaResult e = client.randomExponent();
        if (!e.ok())
            return Ended(key, e.status);
        key.e = std::move(e.value);
        RsaResult d = client.inverseModPhi(key.p, key.q, key.e);
        if (d.status == QH_RSA_E_NOT_INVERTIBLE) {
            key.d.clear();
            continue;
        }
        if (!d.ok())
            return Ended(key, d.status);
        key.d = std::move(d.value);
        const RsaAnswer trip = RoundTrip(client, key.n, key.e, key.d);
        if (!trip.ok())
            return Ended(key, trip.status);
        if (trip.yes) {
            Step(progress, steps + 1);
            key.attempts = attempt;
            key.passed = true;
            return Ended(key, QH_RSA_OK);
        }
    }
    Step(progress, steps);
    return Ended(key, QH_RSA_OK); // every call worked; no attempt passed the round trip
}

} // namespace qh
