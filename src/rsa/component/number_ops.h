// The component's operations on single numbers: key material and modular
// exponentiation. Each returns a QH_RSA_* status and its result as text or as
// a yes/no; the method boundary copies results into caller buffers.
#ifndef QUILLHORN_RSA_COMPONENT_NUMBER_OPS_H
#define QUILLHORN_RSA_COMPONENT_NUMBER_OPS_H

#include "progress_meter.h"

#include <cstddef>
#include <string>

namespace qh::rsa {

inline constexpr int kMaxPrimeWords = 128;
inline constexpr int kExponentBits = 1024;

// Length in digits of RandomPrime's result, known before any work is done.
std::size_t RandomPrimeDigits(int words);

// Reports every candidate and every round of the prime test to `meter`;
// returns QH_RSA_E_CANCELLED when the caller stops the search.
int RandomPrime(int words, std::string& out, ProgressMeter& meter);
int IsPrime(const char* x, bool& yes);
int Multiply(const char* p, const char* q, std::string& out);
int RandomExponent(std::string& out);
int InverseModPhi(const char* p, const char* q, const char* x, std::string& out);
int IsCoprimeToPhi(const char* p, const char* q, const char* x, bool& yes);
// x^k mod n in constant time with respect to k.
int PowerMod(const char* n, const char* k, const char* x, std::string& out);

} // namespace qh::rsa

#endif
