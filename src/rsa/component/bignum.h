// RAII wrappers over libcrypto's big numbers, and the hexadecimal text form
// that every method of the component reads and writes.
#ifndef QUILLHORN_RSA_COMPONENT_BIGNUM_H
#define QUILLHORN_RSA_COMPONENT_BIGNUM_H

#include <openssl/bn.h>

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace qh::rsa {

// Thrown when libcrypto reports a failure that no input can cause (memory,
// random generator). The method boundary turns it into QH_RSA_E_INTERNAL.
class CryptoFailure : public std::runtime_error {
public:
    CryptoFailure() : std::runtime_error("libcrypto failure") {}
};

// Throws CryptoFailure when a libcrypto call returned 0 or null.
inline void Check(int ok) {
    if (ok != 1)
        throw CryptoFailure();
}

struct BnDeleter {
    void operator()(BIGNUM* b) const { BN_clear_free(b); } // numbers may be secret: wipe them
};
struct BnCtxDeleter {
    void operator()(BN_CTX* c) const { BN_CTX_free(c); }
};
struct MontDeleter {
    void operator()(BN_MONT_CTX* m) const { BN_MONT_CTX_free(m); }
};

using Bn = std::unique_ptr<BIGNUM, BnDeleter>;
using BnCtx = std::unique_ptr<BN_CTX, BnCtxDeleter>;
using MontCtx = std::unique_ptr<BN_MONT_CTX, MontDeleter>;

Bn NewBn();
BnCtx NewBnCtx();

// Parses a number: at least one hexadecimal digit of either case, nothing
// else. Returns QH_RSA_OK, QH_RSA_E_ARGUMENT for a null pointer, or
// QH_RSA_E_NUMBER.
int ParseHex(const char* text, Bn& out);

// Lower-case hexadecimal without leading zeros; "0" for zero.
std::string ToHex(const BIGNUM* value);

// phi = (p - 1)(q - 1). Refuses (QH_RSA_E_ARGUMENT) p or q below 3 and p = q.
int PhiOf(const BIGNUM* p, const BIGNUM* q, BIGNUM* phi, BN_CTX* ctx);

} // namespace qh::rsa

#endif
