// Sum lists: lines written and read back, the forms md5sum, sha256sum and
// OpenSSL write, lines that are not entries, list names, pasted digests.
#include "sum_file.h"

#include <gtest/gtest.h>

namespace qh {
namespace {

const std::string kMd5 = "900150983cd24fb0d6963f7d28e17f72";
const std::string kSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

TEST(SumFile, WrittenLinesReadBackToTheSameNameAndDigest) {
    for (const std::string name : {"plain.iso", "with blank", "back\\slash", "line\nfeed", "cr\rname", "(x) = y"}) {
        for (bool tagged : {false, true}) {
            SCOPED_TRACE(testing::Message() << name << (tagged ? " tagged" : ""));
            std::string line = DigestLine(DigestAlgorithm::Sha256, kSha256, name, tagged);
            ASSERT_EQ(line.back(), '\n');
            line.pop_back();
            EXPECT_EQ(line.find('\n'), std::string::npos);
            SumLineParser parser;
            const std::optional<SumEntry> entry = parser.Parse(*SumLineBody(line));
            ASSERT_TRUE(entry);
            EXPECT_EQ(entry->name, name);
            EXPECT_EQ(entry->digest, kSha256);
            EXPECT_EQ(entry->algorithm, tagged ? std::optional(DigestAlgorithm::Sha256) : std::nullopt);
        }
    }
    EXPECT_EQ(DigestLine(DigestAlgorithm::Md5, kMd5, "a b", false), kMd5 + "  a b\n");
    EXPECT_EQ(DigestLine(DigestAlgorithm::CrcCcitt, "29b1", "x", true), "CRC-CCITT (x) = 29b1\n");
    EXPECT_EQ(DigestLine(DigestAlgorithm::Md5, kMd5, "a\\b", false), "\\" + kMd5 + "  a\\\\b\n");
}

TEST(SumFile, ReadsEveryFormOfAnyAlgorithmAndRefusesImproperLines) {
    struct Case {
        std::string line;
        bool proper;
        std::string name;
        std::optional<DigestAlgorithm> algorithm;
    };
    const Case cases[] = {
        {kSha256 + "  file", true, "file", std::nullopt},
        {kSha256 + " *file", true, "file", std::nullopt},
        {"  " + kMd5 + "  lead", true, "lead", std::nullopt},
        {"SHA256 (a (b)) = " + kSha256, true, "a (b)", DigestAlgorithm::Sha256},
        {"SHA2-256(name)= " + kSha256, true, "name", DigestAlgorithm::Sha256},
        {"MD5 (m) = " + kMd5, true, "m", DigestAlgorithm::Md5},
        {"CRC32 (c) = cbf43926", true, "c", DigestAlgorithm::Crc32},
        {"bb3d  crc", true, "crc", std::nullopt},
        {"MD5 (m) = " + kSha256, false, "", std::nullopt}, // a digest of another length than the tag's
        {kSha256.substr(1) + "  odd", false, "", std::nullopt},
        {"xyz" + kMd5.substr(3) + "  nothex", false, "", std::nullopt},
        {kMd5, false, "", std::nullopt},
        {"\\" + kMd5 + "  bad\\escape", false, "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SumLineParser parser;
        const std::optional<SumEntry> entry = parser.Parse(c.line);
        ASSERT_EQ(entry.has_value(), c.proper);
        if (!entry)
            continue;
        EXPECT_EQ(entry->name, c.name);
        EXPECT_EQ(entry->algorithm, c.algorithm);
    }

    // A parser for one algorithm takes its lines only.
    SumLineParser md5Only(DigestAlgorithm::Md5);
    EXPECT_TRUE(md5Only.Parse("MD5 (m) = " + kMd5));
    EXPECT_FALSE(md5Only.Parse("SHA256 (a) = " + kSha256));
    EXPECT_FALSE(md5Only.Parse(kSha256 + "  a"));
    EXPECT_EQ(md5Only.Parse(kMd5 + "  a")->algorithm, DigestAlgorithm::Md5);

    // The first plain line settles the form: after "DIGEST  NAME", BSD's
    // reversed "DIGEST NAME" is improper, and the other way round.
    SumLineParser plain;
    EXPECT_TRUE(plain.Parse(kMd5 + "  a"));
    EXPECT_FALSE(plain.Parse(kMd5 + " b"));
    SumLineParser reversed;
    EXPECT_EQ(reversed.Parse(kMd5 + " b")->name, "b");
    EXPECT_EQ(reversed.Parse(kMd5 + "  c")->name, " c");

    // Comments and empty lines hold no entry; CR LF line ends are taken.
    EXPECT_FALSE(SumLineBody("# " + kMd5 + "  a"));
    EXPECT_FALSE(SumLineBody("\r"));
    EXPECT_EQ(*SumLineBody("x\r"), "x");
}

TEST(SumFile, ListReaderSplitsLinesOfAnyLengthAndFlagsOverlongOnes) {
    const std::string text = "one\r\n\n" + std::string(200000, 'x') + "\nshort\n" + std::string(300, 'y');
    for (std::size_t longest : {std::size_t{0}, std::size_t{1000}}) {
        SCOPED_TRACE(longest);
        std::size_t at = 0;
        SumListReader reader(
            [&](std::uint8_t* to, std::size_t length) -> long long {
                const std::size_t n = std::min<std::size_t>({length, 777, text.size() - at});
                std::copy_n(text.data() + at, n, to);
                at += n;
                return static_cast<long long>(n);
            },
            longest);
        std::vector<std::string> lines;
        std::vector<bool> tooLong;
        for (std::string line; reader.Next(line);) {
            lines.push_back(line);
            tooLong.push_back(reader.TooLong());
        }
        EXPECT_FALSE(reader.Failed());
        const std::string big = longest == 0 ? std::string(200000, 'x') : std::string();
        EXPECT_EQ(lines, (std::vector<std::string>{"one\r", "", big, "short", std::string(300, 'y')}));
        EXPECT_EQ(tooLong, (std::vector<bool>{false, false, longest != 0, false, false}));
    }
}

TEST(SumFile, ListNamesAndPastedDigestsTellTheAlgorithm) {
    EXPECT_EQ(AlgorithmOfListName("/srv/SHA256SUMS"), DigestAlgorithm::Sha256);
    EXPECT_EQ(AlgorithmOfListName("debian.iso.sha512"), DigestAlgorithm::Sha512);
    EXPECT_EQ(AlgorithmOfListName("md5sum.txt"), DigestAlgorithm::Md5);
    EXPECT_EQ(AlgorithmOfListName("MD5SUMS"), DigestAlgorithm::Md5);
    EXPECT_EQ(AlgorithmOfListName("x.crc-ccitt"), DigestAlgorithm::CrcCcitt);
    EXPECT_EQ(AlgorithmOfListName("checksums.txt"), std::nullopt);
    EXPECT_EQ(AlgorithmOfListName("sha256/readme"), std::nullopt);

    // Any letter case, blanks between the digits, a line end around them.
    std::optional<ExpectedDigest> spaced = ParseExpectedDigest(" BA 78 16 BF 8F 01 CF EA 41 41 40 DE 5D AE 22 23 "
                                                               "B0 03 61 A3 96 17 7A 9C B4 10 FF 61 F2 00 15 AD \r\n");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->digest, kSha256);
    EXPECT_EQ(spaced->algorithms, std::vector{DigestAlgorithm::Sha256});
    EXPECT_TRUE(spaced->name.empty());
    // A whole line of a list, plain or tagged.
    std::optional<ExpectedDigest> line = ParseExpectedDigest(kMd5 + "  my file.iso");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->name, "my file.iso");
    EXPECT_EQ(line->algorithms, std::vector{DigestAlgorithm::Md5});
    EXPECT_EQ(ParseExpectedDigest("CRC16 (f) = BB3D")->algorithms, std::vector{DigestAlgorithm::Crc16});
    EXPECT_EQ(ParseExpectedDigest("BB3D")->digest, "bb3d");
    // Four digits fit two check values.
    EXPECT_EQ(ParseExpectedDigest("bb3d")->algorithms,
              (std::vector{DigestAlgorithm::Crc16, DigestAlgorithm::CrcCcitt}));
    for (const char* wrong : {"", "xyz", "abcde", "0x1234"})
        EXPECT_FALSE(ParseExpectedDigest(wrong)) << wrong;

    EXPECT_TRUE(SameDigest("AbCd", "aBcD"));
    EXPECT_FALSE(SameDigest("abcd", "abce"));
    EXPECT_FALSE(SameDigest("abcd", "abcde"));
}

} // namespace
} // namespace qh
