// Numbers and keys: primes, arithmetic against libcrypto, the key tool's
// round trip, invalid input and the buffer convention.
#include "rsa_test_support.h"

#include <openssl/bn.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace qh::test {
namespace {

Bn RandomBn(int bits) {
    Bn b(BN_new());
    BN_rand(b.get(), bits, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY);
    return b;
}

using RsaNumbers = RsaTest;

TEST_F(RsaNumbers, RandomPrimesHaveTheRequestedSize) {
    BN_CTX* ctx = BN_CTX_new();
    for (int words : {1, 2, 16}) {
        const RsaResult prime = client.randomPrime(words);
        ASSERT_TRUE(prime.ok());
        const Bn p = BnFromHex(prime.value);
        EXPECT_EQ(BN_num_bits(p.get()), 32 * words);
        EXPECT_TRUE(BN_is_bit_set(p.get(), 32 * words - 2)) << "p*q must have the full key length";
        EXPECT_EQ(BN_check_prime(p.get(), ctx, nullptr), 1) << prime.value;
        EXPECT_EQ(BnToHex(p.get()), prime.value);
    }
    BN_CTX_free(ctx);
    for (int words : {-1, 0, 129})
        EXPECT_EQ(client.randomPrime(words).status, QH_RSA_E_ARGUMENT) << words;
}

TEST_F(RsaNumbers, IsPrimeTellsPrimesFromCompositesAndCarmichaelNumbers) {
    // 561, 41041, 825265, 3825123056546413051 and a 130-bit Chernick number
    // (6k+1)(12k+1)(18k+1) pass Fermat's test in every base coprime to them.
    for (const char* composite : {"0", "1", "4", "231", "a051", "c97b1", "351591274f9af9fb",
                                  "3cf008589ade31ee0dcba8f291089cf41", "ffffffffffffffff"}) {
        const RsaAnswer answer = client.isPrime(composite);
        EXPECT_TRUE(answer.ok() && !answer.yes) << composite;
    }
    // 2, 3, 97, 2^31-1, 4294967291 in upper case with leading zeros, 2^127-1.
    for (const char* prime : {"2", "3", "61", "7fffffff", "00FFFFFFFB", "7fffffffffffffffffffffffffffffff"}) {
        const RsaAnswer answer = client.isPrime(prime);
        EXPECT_TRUE(answer.ok() && answer.yes) << prime;
    }
}

TEST_F(RsaNumbers, ArithmeticAgreesWithLibcrypto) {
    BN_CTX* ctx = BN_CTX_new();
    const Bn a = RandomBn(3000), b = RandomBn(2500), n = RandomBn(2048), x = RandomBn(2000), k = RandomBn(700);
    BN_set_bit(n.get(), 0);
    Bn expected(BN_new());
    BN_mul(expected.get(), a.get(), b.get(), ctx);
    EXPECT_EQ(client.multiply(BnToHex(a.get()), BnToHex(b.get())).value, BnToHex(expected.get()));
    BN_mod_exp(expected.get(), x.get(), k.get(), n.get(), ctx);
    EXPECT_EQ(client.powerMod(BnToHex(n.get()), BnToHex(k.get()), BnToHex(x.get())).value, BnToHex(expected.get()));
    BN_CTX_free(ctx);

    // Input in either case with leading zeros; output in lower case without them.
    EXPECT_EQ(client.multiply("000Ab", "0cD").value, "88ef");
    EXPECT_EQ(client.multiply("0", "ff").value, "0");
    EXPECT_EQ(client.powerMod("f", "0", "3").value, "1");
    EXPECT_EQ(client.powerMod("f", "5", "0").value, "0");

    // p = 11, q = 13: phi = 120 = 0x78.
    EXPECT_EQ(client.inverseModPhi("b", "d", "7").value, "67");  // 7 * 103 = 721 = 6 * 120 + 1
    EXPECT_EQ(client.inverseModPhi("b", "d", "7f").value, "67"); // 127 = 7 mod 120
    EXPECT_TRUE(client.isCoprimeToPhi("b", "d", "7").yes);
    EXPECT_FALSE(client.isCoprimeToPhi("b", "d", "f").yes);
    EXPECT_FALSE(client.isCoprimeToPhi("b", "d", "0").yes);
}

TEST_F(RsaNumbers, KeysOfTheKeyToolRoundTrip) {
    for (int bits : {128, 512, 1024}) {
        const TestKey& key = KeyToolKey(bits);
        EXPECT_EQ(BN_num_bits(BnFromHex(key.n).get()), bits);
        const RsaResult sealed = client.encryptInteger(key.n, key.e, "1234");
        ASSERT_TRUE(sealed.ok());
        EXPECT_NE(sealed.value, "1234");
        EXPECT_EQ(client.decryptInteger(key.n, key.d, sealed.value).value, "1234");
    }
    // "Random d", then e from it.
    const TestKey& key = KeyToolKey(128);
    const RsaResult e = client.inverseModPhi(key.p, key.q, key.d);
    ASSERT_TRUE(e.ok());
    const RsaResult sealed = client.powerMod(key.n, key.d, "1234");
    EXPECT_EQ(client.powerMod(key.n, e.value, sealed.value).value, "1234");
}

TEST_F(RsaNumbers, InvalidNumbersFailWithAStatus) {
    for (const char* bad : {"", "12g4", "-5", "0x10", " 12", "12 ", "+1"})
        EXPECT_EQ(client.multiply(bad, "1").status, QH_RSA_E_NUMBER) << '"' << bad << '"';
    EXPECT_EQ(client.isPrime(std::string("1\0001", 3)).status, QH_RSA_E_NUMBER); // not cut at the NUL

    // Each refusal names its condition: n even or below 3, x not below n.
    EXPECT_EQ(client.powerMod("0", "3", "0").status, QH_RSA_E_MODULUS);
    EXPECT_EQ(client.powerMod("1", "3", "0").status, QH_RSA_E_MODULUS);
    EXPECT_EQ(client.encryptInteger("10", "3", "2").status, QH_RSA_E_MODULUS);
    EXPECT_EQ(client.powerMod("f", "3", "f").status, QH_RSA_E_RANGE);
    EXPECT_EQ(client.encryptInteger("f", "3", "10").status, QH_RSA_E_RANGE);
    EXPECT_EQ(client.decryptInteger("f", "3", "1F").status, QH_RSA_E_RANGE);
    // The number methods take any exponent and a prime n.
    EXPECT_EQ(client.encryptInteger("7fffffff", "1", "1234").value, "1234");
    EXPECT_EQ(client.encryptInteger("f", "0", "2").value, "1");
    EXPECT_EQ(client.inverseModPhi("b", "b", "7").status, QH_RSA_E_ARGUMENT);
    EXPECT_EQ(client.inverseModPhi("2", "b", "7").status, QH_RSA_E_ARGUMENT);
    EXPECT_EQ(client.isCoprimeToPhi("d", "d", "7").status, QH_RSA_E_ARGUMENT);
    EXPECT_EQ(client.inverseModPhi("b", "d", "6").status, QH_RSA_E_NOT_INVERTIBLE);
    EXPECT_EQ(client.inverseModPhi("b", "d", "78").status, QH_RSA_E_NOT_INVERTIBLE);
    EXPECT_EQ(client.inverseModPhi("b", "d", "0").status, QH_RSA_E_NOT_INVERTIBLE);

    // Null pointers, and out-values left alone on failure.
    char out[8] = "xxxxxxx";
    std::size_t len = 99;
    int yes = 7;
    EXPECT_EQ(rsa.Multiply(nullptr, "1", out, sizeof out, &len), QH_RSA_E_ARGUMENT);
    EXPECT_EQ(rsa.PowerMod("f", "3", "f", out, sizeof out, &len), QH_RSA_E_RANGE);
    EXPECT_EQ(rsa.IsPrime(nullptr, &yes), QH_RSA_E_ARGUMENT);
    EXPECT_EQ(rsa.IsPrime("7", nullptr), QH_RSA_E_ARGUMENT);
    EXPECT_EQ(rsa.Multiply("2", "3", nullptr, 4, &len), QH_RSA_E_ARGUMENT);
    EXPECT_EQ(std::string(out), "xxxxxxx");
    EXPECT_EQ(len, 99u);
    EXPECT_EQ(yes, 7);
}

TEST_F(RsaNumbers, ShortBufferReportsTheLengthNeeded) {
    char out[8] = "xxxxxxx";
    std::size_t len = 0;
    EXPECT_EQ(rsa.Multiply("ffff", "ffff", out, 8, &len), QH_RSA_E_BUFFER); // 8 digits need 9 bytes
    EXPECT_EQ(len, 8u);
    EXPECT_EQ(std::string(out), "xxxxxxx");
    EXPECT_EQ(rsa.Multiply("ffff", "ffff", nullptr, 0, &len), QH_RSA_E_BUFFER);
    EXPECT_EQ(len, 8u);
    char fits[9];
    EXPECT_EQ(rsa.Multiply("ffff", "ffff", fits, sizeof fits, &len), QH_RSA_OK);
    EXPECT_EQ(std::string(fits), "fffe0001");

    EXPECT_EQ(rsa.RandomPrime(16, out, sizeof out, &len), QH_RSA_E_BUFFER);
    EXPECT_EQ(len, 128u);
    EXPECT_EQ(rsa.RandomExponent(out, sizeof out, &len), QH_RSA_E_BUFFER);
    EXPECT_EQ(len, 256u);
}

} // namespace
} // namespace qh::test
