// Numbers as the RSA panes and the CLI take them: digit strings in base 10 or
// 16, converted between the two (radix_conversion.h), checked before use, and
// whole RSA keys made the way the key workbench makes them.
#ifndef QUILLHORN_RSA_NUMBERS_H
#define QUILLHORN_RSA_NUMBERS_H

#include "radix_conversion.h"
#include "rsa_loader.h"

#include <optional>
#include <string>
#include <string_view>

namespace qh {

// The digits of `text` in `base` (10 or 16) with blanks, tabs and line breaks
// removed; nothing when any other character is not a digit of the base. An
// empty (or all-blank) text gives an empty string.
std::optional<std::string> CleanNumber(std::string_view text, int base);

// The longest key the component makes: two primes of 128 words.
inline constexpr int kMaxKeyLengthBits = 8192;

// The count of 32-bit words that RandomPrime takes for a key-length text: the
// text read as a signed decimal integer (not a number reads as 0), values below
// 64 counting as 64, divided by 64 and rounded down. 0 for a length above
// kMaxKeyLengthBits, which no key can have.
int PrimeWordsForKeyLength(std::string_view text);

// A whole key made as the key workbench's "generate all" does: p and q of
// `words` words, n = p*q, then up to 50 attempts of a random e, d = e^-1 mod
// (p-1)(q-1) and the round-trip test. All in lower-case hexadecimal.
//
// With a Progress record, done counts the steps taken (primes found, then
// attempts made; total stays 0, since the attempts needed are not known), and
// a Cancel() stops generation between its calls and inside the prime searches:
// the key then holds nothing but the status QH_RSA_E_CANCELLED.
struct GeneratedKey {
    int status = QH_RSA_E_INTERNAL; // of the last failed component call, or QH_RSA_OK
    std::string p, q, n, e, d;
    int attempts = 0;    // the number of the passing attempt (1 to 50), or 0
    bool passed = false; // the round-trip test passed
};
GeneratedKey GenerateKey(RsaClient& client, int words, Progress* progress = nullptr);

// The round-trip test: PowerMod(n, e, "1234") then PowerMod(n, d, that) must
// give exactly "1234".
bool RoundTripPasses(RsaClient& client, const std::string& n, const std::string& e, const std::string& d);

} // namespace qh

#endif
