// Ciphertext texts: round trips of any bytes, the documented layout, and
// failures on a wrong key or a damaged text.
#include "rsa_test_support.h"

#include <openssl/bn.h>

#include <cctype>

namespace qh::test {
namespace {

class RsaStrings : public RsaTest {
protected:
    // A key of two primes of `primeBits` bits each, e = 10001.
    TestKey smallKey(int primeBits) {
        TestKey key;
        BIGNUM* prime = BN_new();
        for (std::string* out : {&key.p, &key.q}) {
            BN_generate_prime_ex(prime, primeBits, 0, nullptr, nullptr, nullptr);
            char* hex = BN_bn2hex(prime);
            *out = hex;
            OPENSSL_free(hex);
        }
        BN_free(prime);
        key.n = client.multiply(key.p, key.q).value;
        key.e = "10001";
        key.d = client.inverseModPhi(key.p, key.q, key.e).value;
        return key;
    }

    void expectRoundTrip(const TestKey& key, const std::string& text) {
        const RsaResult sealed = client.encryptString(key.n, key.e, text);
        ASSERT_TRUE(sealed.ok()) << sealed.status;
        EXPECT_EQ(sealed.value.size(), 2 * key.blockBytes() * BlockCount(key.blockBytes(), text.size()));
        for (char c : sealed.value)
            ASSERT_TRUE(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f'));
        const RsaResult opened = client.decryptString(key.n, key.d, sealed.value);
        ASSERT_TRUE(opened.ok()) << opened.status;
        EXPECT_EQ(opened.value, text);
    }

    static std::string block(const std::string& sealed, std::size_t k, std::size_t index) {
        return sealed.substr(2 * k * index, 2 * k);
    }
};

TEST_F(RsaStrings, AnyBytesRoundTrip) {
    std::string allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.push_back(static_cast<char>(i));
    const TestKey smallest = smallKey(60); // about 120 bits: k = 15, one data byte in the first block
    ASSERT_EQ(smallest.blockBytes(), 15u);
    for (const TestKey* key : {&smallest, &FastKey(128), &KeyToolKey(512)}) {
        const BlockCapacity capacity = CapacityFor(key->blockBytes());
        for (const std::string& text :
             {std::string(), std::string("a"), std::string(1, '\0'), std::string("\0\0x\0", 4), allBytes,
              RandomBytes(capacity.first), RandomBytes(capacity.first + capacity.data + 1)})
            expectRoundTrip(*key, text);
    }
    expectRoundTrip(FastKey(256), RandomBytes(300 * 1024));
}

TEST_F(RsaStrings, TextFollowsTheDocumentedLayout) {
    const TestKey& key = FastKey(512);
    const std::size_t k = key.blockBytes();
    const std::string sealed = client.encryptString(key.n, key.e, "").value;
    ASSERT_EQ(sealed.size(), 2 * k);
    // 00 02 PS 00, the tag 02 and eight zero bytes of length; PowerMod drops the leading zeros.
    const std::string opened = client.powerMod(key.n, key.d, sealed).value;
    ASSERT_EQ(opened.size(), 2 * k - 3);
    EXPECT_EQ(opened[0], '2');
    EXPECT_EQ(opened.substr(opened.size() - 20), "0002" + std::string(16, '0'));
    for (std::size_t i = 1; i + 20 < opened.size(); i += 2)
        EXPECT_NE(opened.substr(i, 2), "00") << "PS holds a zero byte";

    EXPECT_NE(client.encryptString(key.n, key.e, "same").value, client.encryptString(key.n, key.e, "same").value);

    // Blanks, tabs, line breaks and upper case are accepted.
    std::string spaced;
    const std::string text = client.encryptString(key.n, key.e, "spaced out").value;
    for (std::size_t i = 0; i < text.size(); ++i)
        spaced += std::string(i % 40 == 0  ? "\r\n"
                              : i % 7 == 0 ? " \t"
                                           : "") +
                  static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    EXPECT_EQ(client.decryptString(key.n, key.d, spaced + "\n").value, "spaced out");
}

TEST_F(RsaStrings, WrongKeyOrDamagedTextFails) {
    const TestKey& key = FastKey(512);
    const std::size_t k = key.blockBytes();
    const TestKey& other = KeyToolKey(512);
    for (const std::string& text : {std::string(), std::string("secret"), RandomBytes(1000)}) {
        const std::string sealed = client.encryptString(key.n, key.e, text).value;
        const int status = client.decryptString(other.n, other.d, sealed).status;
        EXPECT_TRUE(status == QH_RSA_E_WRONG_KEY || status == QH_RSA_E_FORMAT) << status; // see the file test
    }

    const std::string sealed = client.encryptString(key.n, key.e, RandomBytes(300)).value;
    ASSERT_EQ(sealed.size(), 2 * k * 6);
    for (std::size_t index : {0, 3, 5}) {
        std::string flipped = sealed;
        char& digit = flipped[2 * k * index + k];
        digit = digit == '0' ? '1' : '0';
        const int status = client.decryptString(key.n, key.d, flipped).status;
        EXPECT_TRUE(status == QH_RSA_E_WRONG_KEY || status == QH_RSA_E_FORMAT) << index << ": " << status;
    }
    const std::string aboveN = block(sealed, k, 0) + std::string(2 * k, 'f') + sealed.substr(4 * k);
    EXPECT_EQ(client.decryptString(key.n, key.d, aboveN).status, QH_RSA_E_WRONG_KEY);
    const std::string swapped = block(sealed, k, 1) + block(sealed, k, 0) + sealed.substr(4 * k);
    const std::string damaged[] = {
        sealed.substr(0, sealed.size() - 2 * k), // a block missing
        sealed + block(sealed, k, 5),            // a block too many
        sealed.substr(0, sealed.size() - 1),     // odd digit count
        sealed + "0",
        sealed.substr(0, 10) + "g" + sealed.substr(10),
        sealed.substr(0, 10) + "-" + sealed.substr(10),
        swapped,
        sealed + std::string(1, '\0') + "00", // would pass if cut at the NUL
        "",
        " \r\n",
    };
    for (const std::string& text : damaged)
        EXPECT_EQ(client.decryptString(key.n, key.d, text).status, QH_RSA_E_FORMAT) << text.size();
}

TEST_F(RsaStrings, BuffersAndUnusableKeys) {
    const TestKey& key = FastKey(128);
    const std::string text(100, 'x');
    const std::string sealed = client.encryptString(key.n, key.e, text).value;
    char small[4];
    std::size_t len = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    EXPECT_EQ(rsa.EncryptString(key.n.c_str(), key.e.c_str(), bytes, text.size(), small, 4, &len), QH_RSA_E_BUFFER);
    EXPECT_EQ(len, sealed.size());
    unsigned char plain[4];
    EXPECT_EQ(rsa.DecryptString(key.n.c_str(), key.d.c_str(), sealed.c_str(), plain, 4, &len), QH_RSA_E_BUFFER);
    EXPECT_EQ(len, text.size());

    const TestKey tiny = smallKey(56); // 112 bits: k = 14
    EXPECT_EQ(client.encryptString(tiny.n, tiny.e, "x").status, QH_RSA_E_KEY_TOO_SMALL);
    EXPECT_EQ(client.decryptString(tiny.n, tiny.d, sealed).status, QH_RSA_E_KEY_TOO_SMALL);
    // An exponent that hides nothing (1) or cannot be undone (even), and a
    // prime n, which anyone can invert, are refused for encryption.
    for (const char* e : {"10000", "0", "1", "001"})
        EXPECT_EQ(client.encryptString(key.n, e, "x").status, QH_RSA_E_EXPONENT) << e;
    const std::string prime127 = "7fffffffffffffffffffffffffffffff"; // 2^127 - 1
    EXPECT_EQ(client.encryptString(prime127, "3", "x").status, QH_RSA_E_PRIME_MODULUS);
    EXPECT_EQ(client.encryptString(key.n + "0", key.e, "x").status, QH_RSA_E_MODULUS);
    EXPECT_EQ(client.decryptString("1", key.d, sealed).status, QH_RSA_E_MODULUS);
    // Decryption checks neither, so what such a key made can be read back: with
    // e = 1 the text is the padded block itself (layout 1, T = 1, "x").
    EXPECT_EQ(client
                  .decryptString(prime127, "1",
                                 "0002a5a5a5a500"
                                 "0000000000000001"
                                 "78")
                  .value,
              "x");
    EXPECT_EQ(client.encryptString(key.n, "1x", "x").status, QH_RSA_E_NUMBER);
    EXPECT_EQ(rsa.EncryptString(key.n.c_str(), key.e.c_str(), nullptr, 3, small, 4, &len), QH_RSA_E_ARGUMENT);
}

} // namespace
} // namespace qh::test
