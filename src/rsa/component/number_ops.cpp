#include "number_ops.h"

#include "bignum.h"
#include "rsa_component.h"

#include <openssl/bn.h>

#include <initializer_list>
#include <utility>

namespace qh::rsa {

namespace {

// Parses every number of a call in order; the first failure wins.
int ParseAll(std::initializer_list<std::pair<const char*, Bn*>> args) {
    for (const auto& [text, out] : args)
        if (const int status = ParseHex(text, *out); status != QH_RSA_OK)
            return status;
    return QH_RSA_OK;
}

// x, phi = (p-1)(q-1) and gcd(x, phi), for the two questions about x and phi.
struct PhiTerms {
    Bn value;
    Bn phi = NewBn();
    Bn gcd = NewBn();
    BnCtx ctx = NewBnCtx();
};

int ComputePhiTerms(const char* p, const char* q, const char* x, PhiTerms& terms) {
    Bn a, b;
    if (const int status = ParseAll({{p, &a}, {q, &b}, {x, &terms.value}}); status != QH_RSA_OK)
        return status;
    if (const int status = PhiOf(a.get(), b.get(), terms.phi.get(), terms.ctx.get()); status != QH_RSA_OK)
        return status;
    BN_set_flags(terms.value.get(), BN_FLG_CONSTTIME); // x or its inverse is a private exponent
    Check(BN_gcd(terms.gcd.get(), terms.value.get(), terms.phi.get(), terms.ctx.get()));
    return QH_RSA_OK;
}

} // namespace

std::size_t RandomPrimeDigits(int words) {
    return static_cast<std::size_t>(words) * 8;
}

int RandomPrime(int words, std::string& out, ProgressMeter& meter) {
    if (words < 1 || words > kMaxPrimeWords)
        return QH_RSA_E_ARGUMENT;
    const int bits = words * 32;
    const Bn prime = NewBn();
    const BnCtx ctx = NewBnCtx();
    const PrimeCallback callback(meter);
    // libcrypto sets the top two bits when no congruence is asked for; check it
    // anyway, since the key length depends on it.
    do {
        if (BN_generate_prime_ex2(prime.get(), bits, 0, nullptr, nullptr, callback.get(), ctx.get()) != 1) {
            if (meter.stopped())
                return QH_RSA_E_CANCELLED;
            throw CryptoFailure();
        }
    } while (BN_num_bits(prime.get()) != bits || !BN_is_bit_set(prime.get(), bits - 2));
    out = ToHex(prime.get());
    return QH_RSA_OK;
}

int IsPrime(const char* x, bool& yes) {
    Bn value;
    if (const int status = ParseHex(x, value); status != QH_RSA_OK)
        return status;
    const BnCtx ctx = NewBnCtx();
    const int result = BN_check_prime(value.get(), ctx.get(), nullptr); // 0 and 1 are not prime
    if (result < 0)
        throw CryptoFailure();
    yes = result == 1;
    return QH_RSA_OK;
}

int Multiply(const char* p, const char* q, std::string& out) {
    Bn a, b;
    if (const int status = ParseAll({{p, &a}, {q, &b}}); status != QH_RSA_OK)
        return status;
    const BnCtx ctx = NewBnCtx();
    const Bn product = NewBn();
    Check(BN_mul(product.get(), a.get(), b.get(), ctx.get()));
    out = ToHex(product.get());
    return QH_RSA_OK;
}

int RandomExponent(std::string& out) {
    const Bn value = NewBn();
    Check(BN_priv_rand(value.get(), kExponentBits, BN_RAND_TOP_ONE, BN_RAND_BOTTOM_ODD));
    out = ToHex(value.get());
    return QH_RSA_OK;
}

int InverseModPhi(const char* p, const char* q, const char* x, std::string& out) {
    PhiTerms terms;
    if (const int status = ComputePhiTerms(p, q, x, terms); status != QH_RSA_OK)
        return status;
    if (!BN_is_one(terms.gcd.get()))
        return QH_RSA_E_NOT_INVERTIBLE;
    const Bn inverse = NewBn();
    if (BN_mod_inverse(inverse.get(), terms.value.get(), terms.phi.get(), terms.ctx.get()) == nullptr)
        throw CryptoFailure();
    out = ToHex(inverse.get());
    return QH_RSA_OK;
}

int IsCoprimeToPhi(const char* p, const char* q, const char* x, bool& yes) {
    PhiTerms terms;
    if (const int status = ComputePhiTerms(p, q, x, terms); status != QH_RSA_OK)
        return status;
    yes = BN_is_one(terms.gcd.get());
    return QH_RSA_OK;
}

int PowerMod(const char* n, const char* k, const char* x, std::string& out) {
    Bn modulus, exponent, base;
    if (const int status = ParseAll({{n, &modulus}, {k, &exponent}, {x, &base}}); status != QH_RSA_OK)
        return status;
    if (!BN_is_odd(modulus.get()) || BN_is_one(modulus.get()))
        return QH_RSA_E_MODULUS;
    if (BN_cmp(base.get(), modulus.get()) >= 0)
        return QH_RSA_E_RANGE;
    BN_set_flags(exponent.get(), BN_FLG_CONSTTIME);
    const BnCtx ctx = NewBnCtx();
    const Bn result = NewBn();
    Check(BN_mod_exp_mont_consttime(result.get(), base.get(), exponent.get(), modulus.get(), ctx.get(), nullptr));
    out = ToHex(result.get());
    return QH_RSA_OK;
}

} // namespace qh::rsa
