#include "byte_source.h"
#include "hash_test_support.h"
#include "hash_value.h"
#include "md5.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <string>

namespace qh {
namespace {

using namespace std::string_literals;

std::string OpenSslMd5(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr), 1);
    return test::ToHex(digest, length);
}

std::string Hex(const std::array<std::uint8_t, Md5::kDigestLength>& digest) {
    return test::ToHex(digest.data(), digest.size());
}

TEST(Md5Test, GivesTheRfc1321TestSuite) {
    EXPECT_EQ(Md5Buffer(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Buffer("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Buffer("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Buffer("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Buffer("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Buffer("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Buffer("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
    EXPECT_EQ(Md5Buffer("\x00"s), "93b885adfe0da089cdf634904fd59f71");
}

TEST(Md5Test, MatchesOpenSslOverEveryShortLengthAndAFewMebibytes) {
    const std::string bytes = test::RandomBytes(3 * 1024 * 1024 + 17, 11);
    for (std::size_t n = 0; n <= 300; ++n)
        ASSERT_EQ(Md5Buffer(std::string_view(bytes).substr(0, n)), OpenSslMd5(std::string_view(bytes).substr(0, n)))
            << n;
    EXPECT_EQ(Md5Buffer(bytes), OpenSslMd5(bytes));
}

TEST(Md5Test, GivesTheSameDigestWhateverTheSplitOfTheUpdates) {
    for (std::size_t n : {64u, 119u, 200u}) {
        const std::string bytes = test::RandomBytes(n, static_cast<std::uint32_t>(n));
        const std::string whole = Md5Buffer(bytes);
        for (std::size_t cut = 0; cut <= n; ++cut) {
            for (std::size_t cut2 = cut; cut2 <= n; cut2 += 13) {
                Md5 md5;
                md5.Update(bytes.data(), cut);
                md5.Update(bytes.data() + cut, cut2 - cut);
                md5.Update(bytes.data() + cut2, n - cut2);
                ASSERT_EQ(Hex(md5.Finish()), whole) << n << " cut at " << cut << " and " << cut2;
            }
        }
    }
}

TEST(Md5Test, DigestsFilesLikeTheSameBytesInMemory) {
    FileSource::SetBufferLengthForTesting(64 * 1024);
    const std::string bytes = test::RandomBytes(5 * 64 * 1024 + 1000, 12);
    test::TempFile file(bytes);
    EXPECT_EQ(Md5File(file.path()), Md5Buffer(bytes));
    FileSource::SetBufferLengthForTesting(0);

    test::TempFile abc("abc");
    EXPECT_EQ(Md5File(abc.path()), "900150983cd24fb0d6963f7d28e17f72");
    test::TempFile empty;
    EXPECT_EQ(Md5File(empty.path()), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5File("/nonexistent/quillhorn/file"), std::nullopt);
    EXPECT_EQ(Md5File("/tmp"), std::nullopt);
    EXPECT_EQ(Md5File(""), std::nullopt);
}

TEST(Md5Test, ReadsHexadecimalDigits) {
    EXPECT_EQ(HexDigitValue('0'), 0);
    EXPECT_EQ(HexDigitValue('9'), 9);
    EXPECT_EQ(HexDigitValue('a'), 10);
    EXPECT_EQ(HexDigitValue('F'), 15);
    for (char ch : {'g', 'G', ' ', 'x', '/', ':', '@', '`', '\0', '\xA1'})
        EXPECT_EQ(HexDigitValue(ch), -1) << int(ch);
}

TEST(Md5HashValueTest, ReadsPairsOfDigitsSeparatedByBlanksOrTabs) {
    EXPECT_EQ(ParseMd5HashValue("61 62 63"), "abc");
    EXPECT_EQ(ParseMd5HashValue("616263"), "abc");
    EXPECT_EQ(ParseMd5HashValue("61\t62 63"), "abc");
    EXPECT_EQ(ParseMd5HashValue("AD3E"), "\xAD\x3E"s);
    EXPECT_EQ(ParseMd5HashValue("ad3E"), "\xAD\x3E"s);
    EXPECT_EQ(ParseMd5HashValue("00"), "\x00"s);
    EXPECT_EQ(ParseMd5HashValue(""), "");
    EXPECT_EQ(ParseMd5HashValue(" \t "), "");
    for (const char* text : {"ADE", "A D", "0x12", "A", "AD\n3E", "AD,3E", "GG"})
        EXPECT_EQ(ParseMd5HashValue(text), std::nullopt) << text;
}

} // namespace
} // namespace qh
