// DES file encryption and decryption: the layout of 1024-byte chunks, the
// marker block after a padded final chunk of 1016 to 1023 bytes, round trips
// of every size, failures, and the refusal to overwrite the input.
#include "des.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qh {
namespace {

constexpr DesKey kKey = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
constexpr DesKey kOtherKey = {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10};

std::string RandomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator());
    return bytes;
}

std::string RawEncrypt(std::string bytes) {
    DesSchedule(kKey, false).Process(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size() / 8);
    return bytes;
}

// The expected encryption of `plaintext`: the full chunks as plain blocks, then
// the padded final chunk and the marker it may need.
std::string ExpectedLayout(const std::string& plaintext) {
    const std::size_t at = plaintext.size() / 1024 * 1024;
    std::string out = RawEncrypt(plaintext.substr(0, at));
    const std::size_t rest = plaintext.size() - at;
    if (rest > 0)
        out += *DesEncryptBuffer(kKey, plaintext.substr(at));
    if (rest >= 1016)
        out += RawEncrypt(std::string(8, '\0'));
    return out;
}

// A fresh folder for one test, removed with its files afterwards.
class DesFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        // In memory where possible: every output is synced to disk on commit,
        // and the round trips write a few thousand files.
        for (const char* base : {"/dev/shm", "/tmp"}) {
            std::string pattern = std::string(base) + "/qh_des_file_test_XXXXXX";
            if (::mkdtemp(pattern.data())) {
                folder_ = pattern;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder");
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary | std::ios::trunc) << bytes;
        return Path(name);
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return std::move(bytes).str();
    }

    static bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

    // Files left in the folder, temporary outputs included.
    int FileCount() const {
        std::string command = "ls -A '" + folder_ + "' | wc -l";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        int count = -1;
        if (pipe) {
            if (std::fscanf(pipe, "%d", &count) != 1)
                count = -1;
            ::pclose(pipe);
        }
        return count;
    }

    std::string folder_;
};

TEST_F(DesFileTest, RoundTripsEverySizeInTheChunkLayout) {
    std::vector<std::size_t> sizes;
    for (std::size_t n = 0; n <= 2100; ++n)
        sizes.push_back(n);
    for (std::size_t k = 2; k <= 4; ++k)
        for (std::size_t n = 1024 * k - 8; n <= 1024 * k + 8; ++n)
            sizes.push_back(n);
    // Around the runs of 1024 chunks the engine reads at once, where a padded
    // chunk and its marker fall on either side of a run boundary, and around
    // multiples of 64 chunks.
    for (std::size_t run : {65536u, 1024u * 1024u})
        for (std::size_t k = 1; k <= 2; ++k)
            for (std::size_t n : {run * k - 1024, run * k - 9, run * k - 8, run * k - 4, run * k - 1, run * k,
                                  run * k + 1, run * k + 1020})
                sizes.push_back(n);

    const std::string data = RandomBytes(2 * 1024 * 1024 + 1024, 1);
    const std::string input = Path("in");
    const std::string encrypted = Path("enc");
    const std::string decrypted = Path("dec");
    for (std::size_t n : sizes) {
        const std::string plaintext = data.substr(0, n);
        Write("in", plaintext);
        ASSERT_EQ(DesEncryptFile(input, encrypted, kKey), kDesOk) << n;
        const std::string ciphertext = Read(encrypted);
        const std::size_t rest = n % 1024;
        const std::size_t size = n - rest + (rest == 0 ? 0 : rest / 8 * 8 + 8) + (rest >= 1016 ? 8 : 0);
        ASSERT_EQ(ciphertext.size(), size) << n;
        ASSERT_EQ(ciphertext, ExpectedLayout(plaintext)) << n;
        ASSERT_EQ(DesDecryptFile(encrypted, decrypted, kKey), kDesOk) << n;
        ASSERT_EQ(Read(decrypted), plaintext) << n;
    }
    EXPECT_EQ(FileCount(), 3);
}

TEST_F(DesFileTest, KeepsTheSizesOfThePlainLayout) {
    const std::string data = RandomBytes(1025, 2);
    auto encryptedSize = [&](std::size_t n) {
        Write("in", data.substr(0, n));
        EXPECT_EQ(DesEncryptFile(Path("in"), Path("out"), kKey), kDesOk);
        return Read(Path("out")).size();
    };
    EXPECT_EQ(encryptedSize(0), 0u);
    EXPECT_EQ(encryptedSize(1), 8u);
    EXPECT_EQ(encryptedSize(8), 16u);
    EXPECT_EQ(encryptedSize(1015), 1016u);
    EXPECT_EQ(encryptedSize(1016), 1032u); // padded to a whole chunk, then the marker
    EXPECT_EQ(encryptedSize(1023), 1032u);
    EXPECT_EQ(encryptedSize(1024), 1024u);
    EXPECT_EQ(encryptedSize(1025), 1032u);
}

TEST_F(DesFileTest, FailsOnABadFinalChunkAndLeavesNoOutput) {
    const std::string plaintext = RandomBytes(3000, 3);
    const std::string ciphertext = ExpectedLayout(plaintext);
    Write("old", "the previous output");

    // A final chunk shorter than one block: -1, and since the output is only
    // renamed into place on success, neither a partial output nor a changed
    // old one.
    Write("short", ciphertext.substr(0, 2048) + "\x01\x02\x03");
    EXPECT_EQ(DesDecryptFile(Path("short"), Path("new"), kKey), kDesCipherFailed);
    EXPECT_FALSE(Exists(Path("new")));
    EXPECT_EQ(DesDecryptFile(Path("short"), Path("old"), kKey), kDesCipherFailed);
    EXPECT_EQ(Read(Path("old")), "the previous output");

    // A wrong key fails the padding check of this file's final chunk (fixed
    // data, verified once), and decrypts any file of whole chunks.
    Write("enc", ciphertext);
    EXPECT_EQ(DesDecryptFile(Path("enc"), Path("new"), kOtherKey), kDesCipherFailed);
    EXPECT_FALSE(Exists(Path("new")));
    Write("whole", ciphertext.substr(0, 2048));
    EXPECT_EQ(DesDecryptFile(Path("whole"), Path("new"), kOtherKey), kDesOk);
    EXPECT_EQ(Read(Path("new")).size(), 2048u);

    // Bytes after the last whole block of the final chunk are ignored.
    Write("extra", ciphertext + "\x55\x66");
    EXPECT_EQ(DesDecryptFile(Path("extra"), Path("new"), kKey), kDesOk);
    EXPECT_EQ(Read(Path("new")), plaintext);
    // A marker with no chunk before it is no valid file.
    Write("marker", RawEncrypt(std::string(8, '\0')));
    EXPECT_EQ(DesDecryptFile(Path("marker"), Path("new2"), kKey), kDesCipherFailed);
    EXPECT_EQ(FileCount(), 7);
}

TEST_F(DesFileTest, ReportsFilesThatCannotBeReadOrWritten) {
    Write("in", "some plaintext");
    EXPECT_EQ(DesEncryptFile(Path("missing"), Path("out"), kKey), kDesCannotRead);
    EXPECT_EQ(DesDecryptFile(Path("missing"), Path("out"), kKey), kDesCannotRead);
    EXPECT_EQ(DesEncryptFile(folder_, Path("out"), kKey), kDesCannotRead); // a folder reads as an error
    EXPECT_EQ(DesEncryptFile(Path("in"), Path("no/such/folder"), kKey), kDesCannotWrite);
    EXPECT_EQ(DesDecryptFile(Path("in"), folder_, kKey), kDesCannotWrite);
    EXPECT_FALSE(Exists(Path("out")));
}

TEST_F(DesFileTest, RefusesToWriteOverItsInput) {
    const std::string plaintext = "a plaintext that must survive";
    const std::string input = Write("in", plaintext);
    ASSERT_EQ(::mkdir(Path("sub").c_str(), 0700), 0);
    ASSERT_EQ(::symlink(input.c_str(), Path("link").c_str()), 0);
    ASSERT_EQ(::link(input.c_str(), Path("hard").c_str()), 0);
    for (const std::string& output : {input, Path("sub/../in"), Path("./in"), Path("link"), Path("hard")}) {
        EXPECT_EQ(DesEncryptFile(input, output, kKey), kDesSameFile) << output;
        EXPECT_EQ(DesDecryptFile(output, input, kKey), kDesSameFile) << output;
        EXPECT_EQ(Read(input), plaintext);
    }
    EXPECT_EQ(FileCount(), 4);
}

} // namespace
} // namespace qh
