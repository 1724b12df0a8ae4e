#include "base64.h"
#include "base64_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <new>
#include <openssl/evp.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

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

// A heap block of exactly `size` bytes starting on a 64-byte boundary, so that
// the sanitizer reports any access past its end.
class Block {
public:
    explicit Block(std::size_t size) : data_(static_cast<char*>(::operator new (size, std::align_val_t{64}))) {}
    ~Block() { ::operator delete (data_, std::align_val_t{64}); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    char* data() const { return data_; }

private:
    char* data_;
};

// `text` copied to offset `at` of a block that ends with it.
struct Placed {
    Placed(std::string_view text, std::size_t at) : block(at + text.size()) {
        std::memcpy(block.data() + at, text.data(), text.size());
        view = std::string_view(block.data() + at, text.size());
    }
    Block block;
    std::string_view view;
};

// Encoding and decoding with the input and the output at the given offsets
// from a 64-byte boundary, each into a block of exactly the room allowed.
std::string EncodeAt(std::string_view bytes, std::size_t inAt, std::size_t outAt) {
    const Placed input(bytes, inAt);
    Block out(outAt + Base64EncodedLength(bytes.size()));
    return std::string(out.data() + outAt, Base64EncodeTo(input.view, out.data() + outAt));
}

// Feeds `text` in `pieces` (lengths that add up to the text's) to one decoder.
std::string DecodeAt(std::string_view text, std::size_t inAt, std::size_t outAt,
                     const std::vector<std::size_t>& pieces) {
    const Placed input(text, inAt);
    Base64Decoder decoder;
    std::string bytes;
    std::size_t from = 0;
    for (std::size_t length : pieces) {
        Block out(outAt + Base64MaxDecodedLength(length));
        bytes.append(out.data() + outAt, decoder.FeedTo(input.view.substr(from, length), out.data() + outAt));
        from += length;
    }
    return bytes;
}

// The test hook that pins the codec to one path, undone at the end.
class Base64PathTest : public ::testing::TestWithParam<base64_detail::Path> {
protected:
    void SetUp() override {
        if (!base64_detail::Runs(GetParam()))
            GTEST_SKIP() << "this processor (or QUILLHORN_PORTABLE) does not allow the path";
    }
    void TearDown() override { base64_detail::UseFastestPath(); }
};

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

// Every length up to 4 KiB; the input and output offsets within 64 bytes are
// n % 64 and n / 64 % 64, so that all 4096 pairs occur.
TEST_P(Base64PathTest, EncodesEveryLengthAtEveryAlignmentAsOpensslDoes) {
    ASSERT_TRUE(base64_detail::ForcePath(GetParam()));
    for (std::size_t n = 0; n < 4096; ++n) {
        SCOPED_TRACE(n);
        const std::string bytes = RandomBytes(n, static_cast<unsigned>(n));
        const std::string text = EncodeAt(bytes, n % 64, n / 64 % 64);
        ASSERT_EQ(text, OpensslEncode(bytes));
        ASSERT_EQ(DecodeAt(text, n / 64 % 64, n % 64, {text.size()}), bytes);
    }
}

// Texts of every length up to 4 KiB: clean, in lines, with foreign characters
// sparse or dense, with a stray "=" (which ends the decoding in the third or
// fourth place of a group and is skipped elsewhere), decoded whole and in
// random pieces at every pair of offsets within 64 bytes, each time as the
// portable code decodes it; clean texts also as OpenSSL does.
TEST_P(Base64PathTest, DecodesEveryTextAsThePortableCodeInAnyPieces) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string foreign; // the 192 other byte values, "=" among them
    for (int c = 0; c < 256; ++c)
        if (alphabet.find(static_cast<char>(c)) == std::string::npos)
            foreign += static_cast<char>(c);
    std::mt19937 random(11);
    for (std::size_t n = 0; n < 4096; ++n) {
        const int kind = static_cast<int>(n % 5);
        SCOPED_TRACE("length " + std::to_string(n) + ", kind " + std::to_string(kind));
        // Kind 1: lines of 76 characters (whole groups) or 73, ended by LF or CR LF.
        const std::size_t width = n / 5 % 2 ? 73 : 76;
        const std::size_t line = width + 1 + n / 10 % 2;
        std::string text(n, 'A');
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned r = random();
            if (kind == 1 && i % line >= width)
                text[i] = i % line == line - 1 ? '\n' : '\r';
            else if ((kind == 2 && r % 97 == 0) || (kind == 3 && r % 3 == 0))
                text[i] = foreign[r / 97 % foreign.size()];
            else
                text[i] = alphabet[r / 97 % 64];
        }
        if (kind == 4 && n != 0)
            text[random() % n] = '=';

        ASSERT_TRUE(base64_detail::ForcePath(base64_detail::Path::Portable));
        const std::string expected = Base64Decode(text);
        ASSERT_TRUE(base64_detail::ForcePath(GetParam()));
        if (kind == 0 && n % 4 == 0) {
            std::string reference(n / 4 * 3 + 1, '\0');
            ASSERT_EQ(EVP_DecodeBlock(reinterpret_cast<unsigned char*>(reference.data()),
                                      reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(n)),
                      static_cast<int>(n / 4 * 3));
            reference.resize(n / 4 * 3);
            ASSERT_EQ(expected, reference);
        }
        ASSERT_EQ(DecodeAt(text, n % 64, n / 64 % 64, {n}), expected);

        std::vector<std::size_t> pieces;
        for (std::size_t left = n; left != 0;) {
            const std::size_t piece = std::min<std::size_t>(left, random() % 160);
            pieces.push_back(piece);
            left -= piece;
        }
        ASSERT_EQ(DecodeAt(text, n / 64 % 64, n % 64, pieces), expected);
    }
}

std::string PathName(const ::testing::TestParamInfo<base64_detail::Path>& info) {
    switch (info.param) {
    case base64_detail::Path::Avx2:
        return "Avx2";
    case base64_detail::Path::Avx512Vbmi:
        return "Avx512Vbmi";
    default:
        return "Portable";
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Base64PathTest,
                         ::testing::Values(base64_detail::Path::Portable, base64_detail::Path::Avx2,
                                           base64_detail::Path::Avx512Vbmi),
                         PathName);

} // namespace
} // namespace qh
