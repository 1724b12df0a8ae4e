// The DES block function against published known answers and OpenSSL's
// DES-ECB on every path (table, portable bitslice, AVX2, AVX-512), the complement padding, text decryption and random
// keys.
#include "des.h"
#include "des_slice.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <random>
#include <string>

namespace qh {
namespace {

using namespace std::string_literals;

std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

std::string ToHex(std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

DesKey KeyFromHex(std::string_view hex) {
    const std::string bytes = FromHex(hex);
    DesKey key{};
    std::copy(bytes.begin(), bytes.end(), key.begin());
    return key;
}

std::string EncryptBlocks(const DesKey& key, std::string bytes, bool decrypt = false) {
    DesSchedule(key, decrypt).Process(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size() / 8);
    return bytes;
}

// One raw DES-ECB pass by OpenSSL (legacy provider), no padding.
std::string OpenSslDesEcb(const DesKey& key, std::string_view data, bool encrypt) {
    static OSSL_PROVIDER* const legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    static OSSL_PROVIDER* const defaults = OSSL_PROVIDER_load(nullptr, "default");
    EXPECT_NE(legacy, nullptr);
    EXPECT_NE(defaults, nullptr);
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "DES-ECB", nullptr);
    EXPECT_NE(cipher, nullptr);
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    std::string out(data.size() + 8, '\0');
    int length = 0;
    int tail = 0;
    const bool ok =
        EVP_CipherInit_ex(context, cipher, nullptr, key.data(), nullptr, encrypt ? 1 : 0) == 1 &&
        EVP_CIPHER_CTX_set_padding(context, 0) == 1 &&
        EVP_CipherUpdate(context, reinterpret_cast<unsigned char*>(out.data()), &length,
                         reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size())) == 1 &&
        EVP_CipherFinal_ex(context, reinterpret_cast<unsigned char*>(out.data()) + length, &tail) == 1;
    EXPECT_TRUE(ok);
    EVP_CIPHER_CTX_free(context);
    EVP_CIPHER_free(cipher);
    out.resize(static_cast<std::size_t>(length + tail));
    return out;
}

struct KnownAnswer {
    const char* key;
    const char* plaintext;
    const char* ciphertext;
};
// Worked examples, then NIST SP 800-20 (variable plaintext, variable key,
// permutation and substitution tables).
const KnownAnswer kKnownAnswers[] = {
    {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
    {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
    {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
    // Variable plaintext under the key of all parity bits.
    {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
    {"0101010101010101", "4000000000000000", "DD7F121CA5015619"},
    {"0101010101010101", "2000000000000000", "2E8653104F3834EA"},
    {"0101010101010101", "1000000000000000", "4BD388FF6CD81D4F"},
    {"0101010101010101", "0000000000000002", "06E7EA22CE92708F"},
    {"0101010101010101", "0000000000000001", "166B40B44ABA4BD6"},
    // Variable key, zero plaintext.
    {"8001010101010101", "0000000000000000", "95A8D72813DAA94D"},
    {"4001010101010101", "0000000000000000", "0EEC1487DD8C26D5"},
    {"2001010101010101", "0000000000000000", "7AD16FFB79C45926"},
    {"0101010101010104", "0000000000000000", "FCDB3291DE21F0C0"},
    {"0101010101010102", "0000000000000000", "869EFD7F9F265A09"},
    // Permutation and substitution tables.
    {"1046913489980131", "0000000000000000", "88D55E54F54C97B4"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "690F5B0D9A26939B"},
};

std::string ComplementPad(std::string data) {
    const char fill = static_cast<char>(~data.back());
    data.append(8 - data.size() % 8, fill);
    return data;
}

TEST(DesTest, GivesThePublishedKnownAnswers) {
    for (const KnownAnswer& v : kKnownAnswers) {
        const DesKey key = KeyFromHex(v.key);
        EXPECT_EQ(ToHex(EncryptBlocks(key, FromHex(v.plaintext))), v.ciphertext) << v.key;
        EXPECT_EQ(ToHex(EncryptBlocks(key, FromHex(v.ciphertext), true)), v.plaintext) << v.key;
    }
    // Parity bits take no part: flipping every one of them changes nothing.
    DesKey flipped = KeyFromHex("133457799BBCDFF1");
    for (auto& byte : flipped)
        byte ^= 1;
    EXPECT_EQ(ToHex(EncryptBlocks(flipped, FromHex("0123456789ABCDEF"))), "85E813540F0AB405");
}

TEST(DesTest, MatchesOpenSslOnRandomKeysAndPlaintexts) {
    std::mt19937 generator(4603);
    for (int trial = 0; trial < 200; ++trial) {
        DesKey key{};
        for (auto& byte : key)
            byte = static_cast<std::uint8_t>(generator());
        std::string plaintext(generator() % 100 + 1, '\0');
        for (char& c : plaintext)
            c = static_cast<char>(generator());
        const std::optional<std::string> ours = DesEncryptBuffer(key, plaintext);
        ASSERT_TRUE(ours);
        const std::string padded = ComplementPad(plaintext);
        ASSERT_EQ(ToHex(*ours), ToHex(OpenSslDesEcb(key, padded, true))) << trial;
        ASSERT_EQ(DesDecryptBuffer(key, *ours), plaintext) << trial;
        // Raw blocks both ways, including the decryption direction.
        ASSERT_EQ(EncryptBlocks(key, padded, true), OpenSslDesEcb(key, padded, false)) << trial;
    }
}

using des_slice::Path;

// Limits the block function to `widest` while it lives.
class WidestPath {
public:
    explicit WidestPath(Path widest) { des_slice::SetWidestPath(widest); }
    ~WidestPath() { des_slice::SetWidestPath(Path::Avx512); }
};

class DesPathTest : public ::testing::TestWithParam<Path> {
protected:
    void SetUp() override {
        if (GetParam() > des_slice::Supported())
            GTEST_SKIP() << "this processor (or QUILLHORN_PORTABLE) does not offer the path";
    }
};

// Every block count up to past one AVX-512 slice and a few of several slices,
// at every byte alignment within 64, both directions: whole slices, padded
// remainders, the table code below the cut-off, and no byte written outside.
TEST_P(DesPathTest, MatchesTheTableCodeAndOpenSslOnEveryBlockCountAndAlignment) {
    std::vector<std::size_t> counts;
    for (std::size_t n = 0; n <= 600; ++n)
        counts.push_back(n);
    for (std::size_t n : {1023u, 1024u, 1025u, 2 * 512u + 511u, 4 * 512u + 63u})
        counts.push_back(n);
    std::mt19937 generator(58);
    std::vector<std::uint8_t> memory(64 + 8 * 4096 + 64);
    std::uint8_t* const aligned = memory.data() + (64 - reinterpret_cast<std::uintptr_t>(memory.data()) % 64) % 64;
    for (std::size_t n : counts) {
        const std::size_t offset = n % 64;
        SCOPED_TRACE(testing::Message() << n << " blocks at offset " << offset);
        DesKey key{};
        for (auto& byte : key)
            byte = static_cast<std::uint8_t>(generator());
        for (std::size_t i = 0; i < memory.size(); ++i)
            memory[i] = static_cast<std::uint8_t>(generator());
        std::uint8_t* const data = aligned + offset;
        const std::vector<std::uint8_t> before = memory;
        const std::string input(reinterpret_cast<const char*>(data), 8 * n);
        for (bool decrypt : {false, true}) {
            std::string table;
            {
                WidestPath tableOnly(Path::Table);
                table = EncryptBlocks(key, input, decrypt);
            }
            std::memcpy(data, input.data(), input.size());
            {
                WidestPath path(GetParam());
                DesSchedule(key, decrypt).Process(data, n);
            }
            const std::string ours(reinterpret_cast<const char*>(data), 8 * n);
            ASSERT_EQ(ours, table) << (decrypt ? "decrypt" : "encrypt");
            ASSERT_EQ(ours, OpenSslDesEcb(key, input, !decrypt)) << (decrypt ? "decrypt" : "encrypt");
            std::memcpy(data, input.data(), input.size());
            ASSERT_TRUE(memory == before) << "a byte outside was written";
        }
    }
}

// The published answers in every lane of whole and padded slices.
TEST_P(DesPathTest, GivesThePublishedKnownAnswersInEveryBlockOfASlice) {
    const WidestPath path(GetParam());
    const std::size_t blocks = 2 * std::max<std::size_t>(des_slice::SliceBlocks(GetParam()), 1) + 47;
    for (const KnownAnswer& v : kKnownAnswers) {
        SCOPED_TRACE(v.key);
        const DesKey key = KeyFromHex(v.key);
        std::string plaintext;
        std::string ciphertext;
        for (std::size_t i = 0; i < blocks; ++i) {
            plaintext += FromHex(v.plaintext);
            ciphertext += FromHex(v.ciphertext);
        }
        EXPECT_EQ(ToHex(EncryptBlocks(key, plaintext)), ToHex(ciphertext));
        EXPECT_EQ(ToHex(EncryptBlocks(key, ciphertext, true)), ToHex(plaintext));
    }
}

std::string PathName(const testing::TestParamInfo<Path>& info) {
    static const char* const kNames[] = {"Table", "Portable", "Avx2", "Avx512"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Des, DesPathTest, ::testing::Values(Path::Table, Path::Portable, Path::Avx2, Path::Avx512),
                         PathName);

TEST(DesTest, PadsWithTheComplementOfTheLastByte) {
    const DesKey key = KeyFromHex("0123456789ABCDEF");
    auto padded = [&](const std::string& plaintext) {
        const std::optional<std::string> ciphertext = DesEncryptBuffer(key, plaintext);
        EXPECT_TRUE(ciphertext);
        return ciphertext ? EncryptBlocks(key, *ciphertext, true) : std::string();
    };
    EXPECT_EQ(padded("abc"), "abc\x9C\x9C\x9C\x9C\x9C");
    EXPECT_EQ(padded("1234567"), "1234567\xC8");
    EXPECT_EQ(padded("12345678"), "12345678" + std::string(8, '\xC7'));
    EXPECT_EQ(padded("x\xFF"), "x\xFF"s + std::string(6, '\0'));
    EXPECT_EQ(padded("x\0"s), "x\0"s + std::string(6, '\xFF'));
    // Zero bytes are ordinary bytes anywhere, plaintext or key.
    const DesKey zeroKey{};
    const std::string withZeros = "\0\0a\0\0"s;
    EXPECT_EQ(DesDecryptBuffer(zeroKey, *DesEncryptBuffer(zeroKey, withZeros)), withZeros);
    EXPECT_EQ(DesDecryptBuffer(zeroKey, *DesEncryptBuffer(zeroKey, std::string(16, '\0'))), std::string(16, '\0'));

    EXPECT_FALSE(DesEncryptBuffer(key, ""));
}

TEST(DesTest, RefusesCiphertextsWhosePaddingIsNotValid) {
    const DesKey key = KeyFromHex("0123456789ABCDEF");
    auto encryptRaw = [&](const std::string& block) { return EncryptBlocks(key, block); };
    EXPECT_FALSE(DesDecryptBuffer(key, ""));
    EXPECT_FALSE(DesDecryptBuffer(key, encryptRaw("abcdefgh").substr(0, 7)));
    // Eight equal bytes have no plaintext byte; a byte before the run of equal
    // bytes that is not their complement is no padding.
    EXPECT_FALSE(DesDecryptBuffer(key, encryptRaw(std::string(8, 'q'))));
    EXPECT_FALSE(DesDecryptBuffer(key, encryptRaw("abcdefgz")));
    // The smallest valid plaintext is one byte.
    EXPECT_EQ(DesDecryptBuffer(key, encryptRaw("\x0F"s + std::string(7, '\xF0'))), "\x0F");

    // A wrong key fails the padding check on this text (verified once: DES is deterministic).
    const std::string ciphertext = *DesEncryptBuffer(key, "Quillhorn DES");
    std::string out = "unchanged";
    EXPECT_EQ(DesDecryptText(ciphertext, KeyFromHex("0123456789ABCDEE"), out), 0); // parity bit only
    EXPECT_EQ(out, "Quillhorn DES");
    out = "unchanged";
    EXPECT_EQ(DesDecryptText(ciphertext, KeyFromHex("FEDCBA9876543210"), out), -1);
    EXPECT_EQ(out, "unchanged");
}

TEST(DesTest, DecryptsTextsCompletedToWholeBlocksWithZeros) {
    const DesKey key = KeyFromHex("133457799BBCDFF1");
    std::string out;
    EXPECT_EQ(DesDecryptText("", key, out), -1);
    const std::string ciphertext = *DesEncryptBuffer(key, "sixteen bytes...text");
    EXPECT_EQ(DesDecryptText(ciphertext, key, out), 0);
    EXPECT_EQ(out, "sixteen bytes...text");

    // A 10-byte text works on two blocks, the second completed with six zero
    // bytes; the padding check of that block decides. Look for two-byte tails
    // whose completed block is, and is not, a valid padded block.
    const std::string first = EncryptBlocks(key, "12345678");
    int valid = 0;
    int invalid = 0;
    for (int tail = 0; tail < 4096 && (valid < 3 || invalid < 3); ++tail) {
        const std::string two = {static_cast<char>(tail >> 8), static_cast<char>(tail)};
        const std::string block = EncryptBlocks(key, two + std::string(6, '\0'), true);
        const char last = block.back();
        const std::size_t run = block.size() - block.find_last_not_of(last) - 1;
        const bool padded = run < 8 && block[7 - run] == static_cast<char>(~last);
        out = "unchanged";
        const int status = DesDecryptText(first + two, key, out);
        if (padded) {
            ++valid;
            EXPECT_EQ(status, 0) << tail;
            EXPECT_EQ(out, "12345678" + block.substr(0, 8 - run)) << tail;
        } else {
            ++invalid;
            EXPECT_EQ(status, -1) << tail;
            EXPECT_EQ(out, "unchanged") << tail;
        }
    }
    EXPECT_GE(valid, 3);
    EXPECT_GE(invalid, 3);
}

TEST(DesTest, DrawsDifferentRandomKeys) {
    const std::optional<DesKey> a = DesRandomKey();
    const std::optional<DesKey> b = DesRandomKey();
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_NE(*a, *b);
}

} // namespace
} // namespace qh
