#include "bignum.h"

#include "rsa_component.h"

#include <climits>
#include <cstring>

namespace qh::rsa {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

Bn NewBn() {
    Bn b(BN_new());
    if (!b)
        throw CryptoFailure();
    return b;
}

BnCtx NewBnCtx() {
    BnCtx c(BN_CTX_new());
    if (!c)
        throw CryptoFailure();
    return c;
}

int ParseHex(const char* text, Bn& out) {
    if (text == nullptr)
        return QH_RSA_E_ARGUMENT;
    std::size_t length = 0;
    while (text[length] != '\0') {
        if (!IsHexDigit(text[length]))
            return QH_RSA_E_NUMBER;
        ++length;
    }
    if (length == 0)
        return QH_RSA_E_NUMBER;
    // BN_hex2bn counts digits in an int; skip leading zeros so that only real
    // digits count against that limit.
    while (length > 1 && *text == '0') {
        ++text;
        --length;
    }
    if (length > static_cast<std::size_t>(INT_MAX / 4))
        return QH_RSA_E_ARGUMENT; // over 2^31 bits: no number of that size is usable here
    BIGNUM* raw = nullptr;
    if (BN_hex2bn(&raw, text) != static_cast<int>(length)) {
        BN_clear_free(raw);
        throw CryptoFailure();
    }
    out.reset(raw);
    return QH_RSA_OK;
}

std::string ToHex(const BIGNUM* value) {
    static const char kDigits[] = "0123456789abcdef";
    const int bytes = BN_num_bytes(value);
    if (bytes == 0)
        return "0";
    std::string raw(static_cast<std::size_t>(bytes), '\0');
    BN_bn2bin(value, reinterpret_cast<unsigned char*>(raw.data()));
    std::string text;
    text.reserve(raw.size() * 2);
    for (char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0f]);
    }
    if (text[0] == '0')
        text.erase(0, 1); // the top byte is non-zero, so at most one leading zero digit
    return text;
}

int PhiOf(const BIGNUM* p, const BIGNUM* q, BIGNUM* phi, BN_CTX* ctx) {
    const Bn three = NewBn();
    Check(BN_set_word(three.get(), 3));
    if (BN_cmp(p, three.get()) < 0 || BN_cmp(q, three.get()) < 0 || BN_cmp(p, q) == 0)
        return QH_RSA_E_ARGUMENT;
    const Bn p1 = NewBn();
    const Bn q1 = NewBn();
    Check(BN_sub(p1.get(), p, BN_value_one()));
    Check(BN_sub(q1.get(), q, BN_value_one()));
    BN_set_flags(phi, BN_FLG_CONSTTIME); // phi reveals the factors of the key
    Check(BN_mul(phi, p1.get(), q1.get(), ctx));
    return QH_RSA_OK;
}

} // namespace qh::rsa
