// Digit strings between bases 10 and 16 against OpenSSL's BIGNUM conversions,
// the checks of typed numbers, key-length texts, and whole keys made as the key
// workbench makes them: with the real component and with a scripted one.
#include "rsa_numbers.h"
#include "rsa_test_support.h"
#include "stub_rsa_component.h"

#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace qh::test {
namespace {

Bn FromDec(const std::string& dec) {
    BIGNUM* bn = nullptr;
    EXPECT_GT(BN_dec2bn(&bn, dec.c_str()), 0) << dec;
    return Bn(bn);
}

std::string ToDec(const BIGNUM* bn) {
    char* text = BN_bn2dec(bn);
    std::string out = text;
    OPENSSL_free(text);
    return out;
}

std::string RandomDigits(std::mt19937& random, std::size_t count, const char* alphabet) {
    const std::size_t size = std::strlen(alphabet);
    std::string digits(count, '0');
    for (char& c : digits)
        c = alphabet[random() % size];
    return digits;
}

TEST(ConvertRadix, SmallCasesAndLeadingZeros) {
    EXPECT_EQ(ConvertRadix("ff", 16, 10), "255");
    EXPECT_EQ(ConvertRadix("FF", 16, 10), "255");
    EXPECT_EQ(ConvertRadix("255", 10, 16), "ff");
    EXPECT_EQ(ConvertRadix("007", 10, 16), "7");
    EXPECT_EQ(ConvertRadix("000", 10, 16), "0");
    EXPECT_EQ(ConvertRadix("000", 16, 10), "0");
    EXPECT_EQ(ConvertRadix("0", 10, 16), "0");
    EXPECT_EQ(ConvertRadix("", 10, 16), "");
    EXPECT_EQ(ConvertRadix("", 16, 10), "");
    // Powers of the chunked divisor and their neighbours.
    EXPECT_EQ(ConvertRadix("100000000", 16, 10), "4294967296");
    EXPECT_EQ(ConvertRadix("4294967295", 10, 16), "ffffffff");
    EXPECT_EQ(ConvertRadix("1000000000", 10, 16), "3b9aca00");
    EXPECT_EQ(ConvertRadix("999999999", 10, 16), "3b9ac9ff");
    EXPECT_EQ(ConvertRadix("DeadBeef", 16, 16), "deadbeef");
    // Other bases, and what is not a digit of the source base.
    EXPECT_EQ(ConvertRadix("11111111", 2, 16), "ff");
    EXPECT_EQ(ConvertRadix("ff", 16, 2), "11111111");
    EXPECT_EQ(ConvertRadix("1 2,3", 10, 16), "7b");
    EXPECT_EQ(ConvertRadix("f", 10, 16), "");
    EXPECT_EQ(ConvertRadix("12", 10, 37), "");
    EXPECT_EQ(ConvertRadix("12", 1, 16), "");
}

// The canonical digits of a random number of `length` digits, and the same
// number as typed: now and then with leading zeros, and with characters that
// are no digits of the base strewn in, which the conversion skips.
struct TypedNumber {
    std::string canonical, typed;
};

TypedNumber RandomNumber(std::mt19937& random, std::size_t length, int base) {
    const char* alphabet = base == 10 ? "0123456789" : "0123456789abcdefABCDEF";
    TypedNumber number{RandomDigits(random, length, alphabet), {}};
    if (random() % 4 == 0)
        number.canonical.insert(0, 1 + random() % 3, '0');
    for (const char c : number.canonical) {
        if (random() % 16 == 0)
            number.typed += base == 10 ? " x-\n"[random() % 4] : " x-g"[random() % 4];
        number.typed += c;
    }
    return number;
}

// Our conversion, the schoolbook one and OpenSSL's BN_dec2bn / BN_hex2bn with
// BN_bn2hex / BN_bn2dec agree on a number, both ways and back.
void ExpectConversionsAgree(const TypedNumber& dec, const TypedNumber& hex, bool withSchoolbook) {
    const bool none = dec.canonical.empty(); // both have the same length
    const Bn decValue = FromDec(none ? "0" : dec.canonical), hexValue = BnFromHex(none ? "0" : hex.canonical);
    const std::string decAsHex = none ? "" : BnToHex(decValue.get());
    const std::string hexAsDec = none ? "" : ToDec(hexValue.get());
    EXPECT_EQ(ConvertRadix(dec.typed, 10, 16), decAsHex);
    EXPECT_EQ(ConvertRadix(hex.typed, 16, 10), hexAsDec);
    EXPECT_EQ(ConvertRadix(decAsHex, 16, 10), none ? "" : ToDec(decValue.get()));
    EXPECT_EQ(ConvertRadix(hexAsDec, 10, 16), none ? "" : BnToHex(hexValue.get()));
    if (withSchoolbook) {
        EXPECT_EQ(ConvertRadixSchoolbook(dec.typed, 10, 16), decAsHex);
        EXPECT_EQ(ConvertRadixSchoolbook(hex.typed, 16, 10), hexAsDec);
    }
}

TEST(ConvertRadix, AgreesWithOpenSslAndTheSchoolbookAtEveryLength) {
    std::mt19937 random(20240611);
    for (std::size_t length = 0; length <= 400; ++length) {
        SCOPED_TRACE(length);
        ExpectConversionsAgree(RandomNumber(random, length, 10), RandomNumber(random, length, 16), true);
    }
    for (const std::size_t length : {1000u, 2500u, 10000u}) {
        SCOPED_TRACE(length);
        ExpectConversionsAgree(RandomNumber(random, length, 10), RandomNumber(random, length, 16), true);
    }
    // The schoolbook conversion takes seconds here; OpenSSL's takes less.
    SCOPED_TRACE(100000);
    ExpectConversionsAgree(RandomNumber(random, 100000, 10), RandomNumber(random, 100000, 16), false);
}

TEST(CleanNumber, KeepsDigitsDropsBlanksRefusesTheRest) {
    EXPECT_EQ(CleanNumber("12 34\t56\r\n78\r\n", 10), "12345678");
    EXPECT_EQ(CleanNumber("ab\r\ncD", 16), "abcD");
    EXPECT_EQ(CleanNumber("", 16), "");
    EXPECT_EQ(CleanNumber(" \r\n", 10), "");
    EXPECT_EQ(CleanNumber("0099", 10), "0099");
    EXPECT_FALSE(CleanNumber("12a", 10));
    EXPECT_FALSE(CleanNumber("ffg", 16));
    EXPECT_FALSE(CleanNumber("-5", 10));
    EXPECT_FALSE(CleanNumber("-ff", 16));
    EXPECT_FALSE(CleanNumber("0x1f", 16));
    EXPECT_FALSE(CleanNumber("1,000", 10));
    EXPECT_FALSE(CleanNumber(std::string("1\0"
                                         "2",
                                         3),
                             10));
    EXPECT_FALSE(CleanNumber("\xef\xbc\x91", 10)); // a full-width digit
    EXPECT_FALSE(CleanNumber("12", 8));
}

TEST(PrimeWordsForKeyLength, ReadsTheKeyLengthText) {
    EXPECT_EQ(PrimeWordsForKeyLength("10"), 1);
    EXPECT_EQ(PrimeWordsForKeyLength("64"), 1);
    EXPECT_EQ(PrimeWordsForKeyLength("127"), 1);
    EXPECT_EQ(PrimeWordsForKeyLength("128"), 2);
    EXPECT_EQ(PrimeWordsForKeyLength("256"), 4);
    EXPECT_EQ(PrimeWordsForKeyLength("512"), 8);
    EXPECT_EQ(PrimeWordsForKeyLength("1000"), 15);
    EXPECT_EQ(PrimeWordsForKeyLength("1024"), 16);
    EXPECT_EQ(PrimeWordsForKeyLength("2048"), 32);
    EXPECT_EQ(PrimeWordsForKeyLength("4096"), 64);
    EXPECT_EQ(PrimeWordsForKeyLength(" 2048 bits"), 32);
    EXPECT_EQ(PrimeWordsForKeyLength("abc"), 1);
    EXPECT_EQ(PrimeWordsForKeyLength(""), 1);
    EXPECT_EQ(PrimeWordsForKeyLength("-5"), 1);
    EXPECT_EQ(PrimeWordsForKeyLength("-4096"), 1);
    EXPECT_EQ(PrimeWordsForKeyLength("8192"), 128);
    EXPECT_EQ(PrimeWordsForKeyLength("8193"), 0);
    EXPECT_EQ(PrimeWordsForKeyLength("100000"), 0);
    EXPECT_EQ(PrimeWordsForKeyLength("99999999999999999999999"), 0);
}

// n = p*q, e*d = 1 mod (p-1)(q-1), n of the asked length, all lower case.
void ExpectConsistent(const GeneratedKey& key, int bits) {
    ASSERT_TRUE(key.passed);
    EXPECT_EQ(key.status, QH_RSA_OK);
    EXPECT_GE(key.attempts, 1);
    EXPECT_LE(key.attempts, 50);
    const Bn p = BnFromHex(key.p), q = BnFromHex(key.q), n = BnFromHex(key.n), e = BnFromHex(key.e),
             d = BnFromHex(key.d);
    for (auto [text, value] : {std::pair{&key.p, &p}, {&key.q, &q}, {&key.n, &n}, {&key.e, &e}, {&key.d, &d}})
        EXPECT_EQ(*text, BnToHex(value->get()));
    std::unique_ptr<BN_CTX, decltype(&BN_CTX_free)> ctx(BN_CTX_new(), BN_CTX_free);
    Bn product(BN_new()), phi(BN_new()), p1(BN_dup(p.get())), q1(BN_dup(q.get())), ed(BN_new());
    ASSERT_TRUE(BN_mul(product.get(), p.get(), q.get(), ctx.get()));
    EXPECT_EQ(BN_cmp(product.get(), n.get()), 0);
    EXPECT_EQ(BN_num_bits(n.get()), bits);
    EXPECT_EQ(BN_check_prime(p.get(), ctx.get(), nullptr), 1);
    EXPECT_EQ(BN_check_prime(q.get(), ctx.get(), nullptr), 1);
    ASSERT_TRUE(BN_sub_word(p1.get(), 1) && BN_sub_word(q1.get(), 1));
    ASSERT_TRUE(BN_mul(phi.get(), p1.get(), q1.get(), ctx.get()));
    ASSERT_TRUE(BN_mod_mul(ed.get(), e.get(), d.get(), phi.get(), ctx.get()));
    EXPECT_TRUE(BN_is_one(ed.get()));
}

class GenerateKeyTest : public RsaTest {};

TEST_F(GenerateKeyTest, MakesConsistentKeysThatPassTheRoundTrip) {
    const GeneratedKey small = GenerateKey(client, PrimeWordsForKeyLength("128"));
    ExpectConsistent(small, 128);
    const GeneratedKey key = GenerateKey(client, PrimeWordsForKeyLength("512"));
    ExpectConsistent(key, 512);

    EXPECT_TRUE(RoundTripPasses(client, key.n, key.e, key.d));
    EXPECT_FALSE(RoundTripPasses(client, key.n, key.e, key.e));
    EXPECT_FALSE(RoundTripPasses(client, key.n, key.e, ""));
    EXPECT_FALSE(RoundTripPasses(client, "", key.e, key.d));
    // Leading zeros do not change the numbers.
    EXPECT_TRUE(RoundTripPasses(client, "00" + key.n, key.e, "0" + key.d));
}

TEST_F(GenerateKeyTest, ReportsTheComponentsRefusalOrACancel) {
    const GeneratedKey none = GenerateKey(client, 0);
    EXPECT_FALSE(none.passed);
    EXPECT_EQ(none.status, QH_RSA_E_ARGUMENT);
    EXPECT_EQ(none.attempts, 0);
    EXPECT_TRUE(none.p.empty());
    EXPECT_EQ(GenerateKey(client, 129).status, QH_RSA_E_ARGUMENT);
    Progress cancelled;
    cancelled.Cancel();
    const GeneratedKey stopped = GenerateKey(client, 16, &cancelled);
    EXPECT_EQ(stopped.status, QH_RSA_E_CANCELLED);
    EXPECT_TRUE(stopped.p.empty());
}

// A component whose answers the test scripts: primes 3 and 5 (n = f), a
// sequence of exponents, InverseModPhi refusing the first `notInvertible` of
// them, and a PowerMod that either round-trips or spoils the result.
class ScriptedComponent final : public StubRsaComponent {
public:
    int notInvertible = 0;
    int primeStatus = QH_RSA_OK;
    bool spoilRoundTrip = false;
    int exponents = 0;
    Progress* cancelDuringSecondPrime = nullptr;

    int RandomPrime(int, char* out, std::size_t size, std::size_t* len) override {
        if (primeStatus != QH_RSA_OK)
            return primeStatus;
        if (primeCalls_ == 1 && cancelDuringSecondPrime != nullptr)
            cancelDuringSecondPrime->Cancel();
        return Put(primeCalls_++ == 0 ? "3" : "5", out, size, len);
    }
    int Multiply(const char*, const char*, char* out, std::size_t size, std::size_t* len) override {
        return Put("f", out, size, len);
    }
    int RandomExponent(char* out, std::size_t size, std::size_t* len) override {
        return Put(std::to_string(++exponents), out, size, len);
    }
    int InverseModPhi(const char*, const char*, const char* x, char* out, std::size_t size, std::size_t* len) override {
        if (std::stoi(x) <= notInvertible)
            return QH_RSA_E_NOT_INVERTIBLE;
        return Put("d" + std::string(x), out, size, len);
    }
    int PowerMod(const char*, const char* k, const char* x, char* out, std::size_t size, std::size_t* len) override {
        if (k[0] == 'd') // decryption: give the plaintext back, or spoil it
            return Put(spoilRoundTrip ? "01234" : "1234", out, size, len);
        return Put(std::string("c") + x, out, size, len);
    }

private:
    int primeCalls_ = 0;
};

TEST(GenerateKeyScripted, CountsAttemptsAndStepsStopsAtFiftyOrACancel) {
    ScriptedComponent first;
    RsaClient firstClient(first);
    const GeneratedKey once = GenerateKey(firstClient, 8);
    EXPECT_TRUE(once.passed);
    EXPECT_EQ(once.attempts, 1);
    EXPECT_EQ(once.p + once.q + once.n + once.e + once.d, "35f1d1");

    ScriptedComponent later;
    later.notInvertible = 6;
    RsaClient laterClient(later);
    Progress steps;
    const GeneratedKey seventh = GenerateKey(laterClient, 8, &steps);
    EXPECT_TRUE(seventh.passed);
    EXPECT_EQ(seventh.attempts, 7);
    EXPECT_EQ(seventh.e, "7");
    EXPECT_EQ(steps.done.load(), 9u); // two primes, seven attempts
    EXPECT_EQ(steps.total.load(), 0u);

    ScriptedComponent never;
    never.spoilRoundTrip = true; // "01234" is not "1234"
    RsaClient neverClient(never);
    const GeneratedKey failed = GenerateKey(neverClient, 8);
    EXPECT_FALSE(failed.passed);
    EXPECT_EQ(failed.status, QH_RSA_OK);
    EXPECT_EQ(failed.attempts, 0);
    EXPECT_EQ(never.exponents, 50);
    EXPECT_EQ(failed.e, "50");
    EXPECT_EQ(failed.d, "d50");

    ScriptedComponent noInverse;
    noInverse.notInvertible = 1000;
    RsaClient noInverseClient(noInverse);
    const GeneratedKey none = GenerateKey(noInverseClient, 8);
    EXPECT_FALSE(none.passed);
    EXPECT_EQ(none.status, QH_RSA_OK);
    EXPECT_EQ(noInverse.exponents, 50);
    EXPECT_TRUE(none.d.empty());

    ScriptedComponent cancelled;
    Progress progress;
    cancelled.cancelDuringSecondPrime = &progress;
    RsaClient cancelledClient(cancelled);
    const GeneratedKey stopped = GenerateKey(cancelledClient, 8, &progress);
    EXPECT_EQ(stopped.status, QH_RSA_E_CANCELLED); // at the next step: after the prime, before the first attempt
    EXPECT_TRUE(stopped.p.empty() && stopped.q.empty() && stopped.n.empty());
    EXPECT_EQ(cancelled.exponents, 0);
    EXPECT_EQ(progress.done.load(), 2u);

    ScriptedComponent broken;
    broken.primeStatus = QH_RSA_E_INTERNAL;
    RsaClient brokenClient(broken);
    const GeneratedKey refused = GenerateKey(brokenClient, 8);
    EXPECT_FALSE(refused.passed);
    EXPECT_EQ(refused.status, QH_RSA_E_INTERNAL);
    EXPECT_EQ(broken.exponents, 0);
}

} // namespace
} // namespace qh::test
