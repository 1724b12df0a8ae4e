#include "base64.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <openssl/evp.h>
#include <random>
#include <string>
#include <unistd.h>

namespace qh {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(n, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

std::string OpensslEncode(const std::string& bytes) {
    std::string text((bytes.size() + 2) / 3 * 4 + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    text.resize(static_cast<std::size_t>(n));
    return text;
}

// Breaks `text` into lines of `width` characters ended by `lineEnd`.
std::string Wrap(const std::string& text, std::size_t width, const std::string& lineEnd) {
    std::string wrapped;
    for (std::size_t i = 0; i < text.size(); i += width)
        wrapped += text.substr(i, width) + lineEnd;
    return wrapped;
}

// A scratch folder for the file tests, removed with its contents.
class Base64FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = "/tmp/qh_base64_test_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    std::string Read(const std::string& name) const {
        std::ifstream file(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
};

TEST(Base64Test, EncodesAndDecodesTheRfcVectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [bytes, text] : vectors) {
        EXPECT_EQ(Base64Encode(bytes), text) << bytes;
        EXPECT_EQ(Base64Decode(text), bytes) << text;
    }
    EXPECT_EQ(Base64Encode("A"), "QQ==");
    EXPECT_EQ(Base64Encode("AB"), "QUI=");
    EXPECT_EQ(Base64Encode("ABC"), "QUJD");
    EXPECT_EQ(Base64Encode("\xFB\xFF\x00"s), "+/8A");
}

TEST(Base64Test, MatchesOpensslAndRoundTripsRandomData) {
    for (std::size_t n = 0; n < 300; ++n) {
        const std::string bytes = RandomBytes(n, static_cast<unsigned>(n));
        const std::string text = Base64Encode(bytes);
        ASSERT_EQ(text, OpensslEncode(bytes)) << n;
        ASSERT_EQ(Base64Decode(text), bytes) << n;
    }
    const std::string large = RandomBytes(1 << 20, 7);
    EXPECT_EQ(Base64Encode(large), OpensslEncode(large));
    EXPECT_EQ(Base64Decode(Base64Encode(large)), large);
}

TEST(Base64Test, SkipsForeignCharactersAndStopsAtPadding) {
    EXPECT_EQ(Base64Decode("QUJD"), "ABC");
    EXPECT_EQ(Base64Decode("QUJ D"), "ABC");
    EXPECT_EQ(Base64Decode("QUJD\r\n"), "ABC");
    EXPECT_EQ(Base64Decode("\xA1QU\x80JD\xFF"), "ABC") << "bytes 80 to FF are skipped";
    EXPECT_EQ(Base64Decode("QQ"), "A");
    EXPECT_EQ(Base64Decode("Q"), "");
    EXPECT_EQ(Base64Decode("QUJDQ"), "ABC") << "a lone trailing character gives nothing";
    EXPECT_EQ(Base64Decode("QQ==QUJD"), "A") << "text after the padding is ignored";
    EXPECT_EQ(Base64Decode("QUI=QUJD"), "AB");
    EXPECT_EQ(Base64Decode("=Q=Q=="), "A") << "\"=\" in the first two places is skipped";
    EXPECT_EQ(Base64Decode("QUJD=QUJD"), "ABCABC") << "\"=\" at a group start is skipped";
    EXPECT_EQ(Base64Decode("===="), "");
    // Unused low bits of the last character are dropped, not checked.
    EXPECT_EQ(Base64Decode("QR=="), "A");
    // A zero byte is a byte like any other.
    EXPECT_EQ(Base64Decode("AAAA"), "\0\0\0"s);
}

TEST(Base64Test, StreamedDecodingEqualsTheWholeTextAtEverySplit) {
    const std::string texts[] = {
        Wrap(Base64Encode(RandomBytes(40, 3)), 7, "\r\n"),
        " Q U\nJ\tD QQ= =QUJD",
        "QUJDQUJ" + "\x80\xFF"s + "DQQ",
        Base64Encode(RandomBytes(31, 4)) + "QUJD",
    };
    for (const std::string& text : texts) {
        const std::string whole = Base64Decode(text);
        for (std::size_t i = 0; i <= text.size(); ++i) {
            for (std::size_t j = i; j <= text.size(); j += 3) {
                Base64Decoder decoder;
                std::string out = "x";
                decoder.Feed(std::string_view(text).substr(0, i), out);
                decoder.Feed(std::string_view(text).substr(i, j - i), out);
                decoder.Feed(std::string_view(text).substr(j), out);
                ASSERT_EQ(out, "x" + whole) << text << " split at " << i << ", " << j;
            }
        }
    }
    Base64Decoder decoder;
    std::string out;
    for (char c : "QQ==QUJD"s)
        decoder.Feed(std::string_view(&c, 1), out);
    EXPECT_EQ(out, "A");
    EXPECT_TRUE(decoder.Ended());
}

TEST(Base64Test, MimeWrappedTextDecodesAsTheUnwrappedText) {
    const std::string bytes = RandomBytes(5000, 5);
    const std::string text = Base64Encode(bytes);
    EXPECT_EQ(Base64Decode(Wrap(text, 76, "\r\n")), bytes);
    EXPECT_EQ(Base64Decode(Wrap(text, 76, "\n")), bytes);
    EXPECT_EQ(Base64Decode(Wrap(text, 75, "\n")), bytes) << "lines that split groups";
}

TEST_F(Base64FileTest, FilesAtChunkBoundariesEqualTheWholeText) {
    for (std::size_t n : {0, 1, 2, 3, 299, 300, 301, 399, 400, 401, 3 * 65536 - 1, 3 * 65536, 3 * 65536 + 1}) {
        const std::string bytes = RandomBytes(n, static_cast<unsigned>(n));
        Write("plain", bytes);
        ASSERT_EQ(Base64EncodeFile(Path("plain"), Path("encoded")), kBase64Ok) << n;
        ASSERT_EQ(Read("encoded"), Base64Encode(bytes)) << n;
        ASSERT_EQ(Base64DecodeFile(Path("encoded"), Path("decoded")), kBase64Ok) << n;
        ASSERT_EQ(Read("decoded"), bytes) << n;
    }
    Write("plain", RandomBytes(300, 1));
    ASSERT_EQ(Base64EncodeFile(Path("plain"), Path("encoded")), kBase64Ok);
    EXPECT_EQ(Read("encoded").size(), 400u);
    EXPECT_EQ(Read("encoded").find('='), std::string::npos);
    Write("plain", RandomBytes(301, 1));
    ASSERT_EQ(Base64EncodeFile(Path("plain"), Path("encoded")), kBase64Ok);
    EXPECT_EQ(Read("encoded").size(), 404u);
    EXPECT_EQ(Read("encoded").substr(402), "==");

    // Encoded texts of 399 to 401 characters, cut anywhere in a group.
    const std::string text = Base64Encode(RandomBytes(303, 2));
    for (std::size_t n : {399, 400, 401}) {
        Write("encoded", text.substr(0, n));
        ASSERT_EQ(Base64DecodeFile(Path("encoded"), Path("decoded")), kBase64Ok);
        EXPECT_EQ(Read("decoded"), Base64Decode(text.substr(0, n))) << n;
    }
}

TEST_F(Base64FileTest, WrappedFilesDecodeAcrossReads) {
    // Texts of several reads; the leading blanks shift the groups so that some
    // read boundary falls inside a group.
    const std::string bytes = RandomBytes(150000, 9);
    const std::string text = Base64Encode(bytes);
    for (const char* lineEnd : {"\n", "\r\n"}) {
        for (int shift = 0; shift < 4; ++shift) {
            Write("wrapped", std::string(static_cast<std::size_t>(shift), ' ') + Wrap(text, 76, lineEnd));
            ASSERT_EQ(Base64DecodeFile(Path("wrapped"), Path("decoded")), kBase64Ok);
            EXPECT_EQ(Read("decoded"), bytes) << shift;
        }
    }
}

TEST_F(Base64FileTest, RefusesToOverwriteItsInputAndReportsOpenFailures) {
    const std::string input = Write("input", "QUJD");
    fs::create_symlink(input, Path("link"));
    for (const std::string& output : {input, Path("link"), Path("../" + dir_.filename().string() + "/input")}) {
        EXPECT_EQ(Base64EncodeFile(input, output), kBase64SameFile) << output;
        EXPECT_EQ(Base64DecodeFile(input, output), kBase64SameFile) << output;
    }
    EXPECT_EQ(Read("input"), "QUJD");

    EXPECT_EQ(Base64EncodeFile(Path("missing"), Path("out")), kBase64CannotRead);
    EXPECT_EQ(Base64DecodeFile("", Path("out")), kBase64CannotRead);
    EXPECT_EQ(Base64EncodeFile(dir_.string(), Path("out")), kBase64CannotRead) << "a folder is no input";
    EXPECT_FALSE(fs::exists(Path("out")));
    EXPECT_EQ(Base64EncodeFile(input, Path("missing/out")), kBase64CannotWrite);
    EXPECT_EQ(Base64DecodeFile(input, ""), kBase64CannotWrite);

    // An existing output is replaced.
    Write("out", "previous contents, longer than the result");
    EXPECT_EQ(Base64DecodeFile(input, Path("out")), kBase64Ok);
    EXPECT_EQ(Read("out"), "ABC");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3) << "no temporary left";
}

} // namespace
} // namespace qh
