// Encrypted files: round trips, the header, failures that leave no output,
// refusal to overwrite the input, and outputs that are links or no files.
#include "rsa_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

namespace qh::test {
namespace {

class RsaFiles : public RsaTest {
protected:
    int encrypt(const TestKey& key, const std::string& in, const std::string& out) {
        return client.encryptFile(key.n, key.e, in, out);
    }
    int decrypt(const TestKey& key, const std::string& in, const std::string& out) {
        return client.decryptFile(key.n, key.d, in, out);
    }
    // Encrypts `text` into the folder's "sealed" file and returns its bytes.
    std::string seal(const TestKey& key, const std::string& text) {
        WriteFile(folder.path("plain"), text);
        EXPECT_EQ(encrypt(key, folder.path("plain"), folder.path("sealed")), QH_RSA_OK);
        return ReadFile(folder.path("sealed"));
    }
    // Decrypting `bytes` fails with `status`, and leaves no output behind.
    void expectRefused(const TestKey& key, const std::string& bytes, int status, int orStatus = QH_RSA_OK) {
        WriteFile(folder.path("damaged"), bytes);
        const std::size_t before = folder.entryCount();
        const int result = decrypt(key, folder.path("damaged"), folder.path("out"));
        EXPECT_TRUE(result == status || (result == orStatus && orStatus != QH_RSA_OK)) << result;
        EXPECT_EQ(folder.entryCount(), before);
    }

    ScratchFolder folder;
};

TEST_F(RsaFiles, AnyBytesRoundTrip) {
    const TestKey& key = FastKey(128);
    const std::size_t k = key.blockBytes();
    for (const std::string& text :
         {std::string(), std::string("z"), std::string("\0\0\0a\0", 5), RandomBytes(2 * 1024 * 1024 + 17)}) {
        const std::string sealed = seal(key, text);
        EXPECT_EQ(sealed.size(), 10 + k * BlockCount(k, text.size()));
        EXPECT_EQ(sealed.substr(0, 10), std::string("QHRSA\x01\0\0\0", 9) + static_cast<char>(k)); // layout 1
        ASSERT_EQ(decrypt(key, folder.path("sealed"), folder.path("opened")), QH_RSA_OK);
        EXPECT_TRUE(ReadFile(folder.path("opened")) == text) << text.size();
    }
    // An existing output is replaced.
    WriteFile(folder.path("opened"), "old contents that are longer than the new ones");
    seal(key, "new");
    ASSERT_EQ(decrypt(key, folder.path("sealed"), folder.path("opened")), QH_RSA_OK);
    EXPECT_EQ(ReadFile(folder.path("opened")), "new");
}

TEST_F(RsaFiles, WrongKeyOrDamagedFileFailsWithoutOutput) {
    const TestKey& key = FastKey(512);
    const std::size_t k = key.blockBytes();
    const std::string sealed = seal(key, RandomBytes(300)); // six blocks
    ASSERT_EQ(sealed.size(), 10 + 6 * k);

    // A wrong key breaks the padding; in a few cases in 10^5 the padding passes
    // by chance and the lengths give the damage away instead.
    expectRefused(KeyToolKey(512), sealed, QH_RSA_E_WRONG_KEY, QH_RSA_E_FORMAT);
    expectRefused(KeyToolKey(1024), sealed, QH_RSA_E_WRONG_KEY); // another block size
    std::string flipped = sealed;
    flipped[10 + 4 * k + 9] ^= 0x40;
    expectRefused(key, flipped, QH_RSA_E_WRONG_KEY, QH_RSA_E_FORMAT); // padding broken, rarely the length
    std::string badMagic = sealed;
    badMagic[0] = 'X';
    std::string badVersion = sealed;
    badVersion[5] = 0;
    for (const std::string& bytes :
         {sealed.substr(0, sealed.size() - 1), sealed.substr(0, sealed.size() - k), sealed + sealed.substr(10 + 5 * k),
          sealed + "x", sealed.substr(0, 10), sealed.substr(0, 4), std::string(), badMagic, badVersion})
        expectRefused(key, bytes, QH_RSA_E_FORMAT);

    // A failed decryption leaves an existing output as it was.
    WriteFile(folder.path("out"), "keep");
    EXPECT_NE(decrypt(KeyToolKey(512), folder.path("sealed"), folder.path("out")), QH_RSA_OK);
    EXPECT_EQ(ReadFile(folder.path("out")), "keep");
}

TEST_F(RsaFiles, RefusesTheSameFileAndUnusablePaths) {
    const TestKey& key = FastKey(128);
    const std::string plain = folder.path("plain");
    WriteFile(plain, "original");
    ASSERT_EQ(::symlink(plain.c_str(), folder.path("symlink").c_str()), 0);
    ASSERT_EQ(::link(plain.c_str(), folder.path("hardlink").c_str()), 0);
    for (const std::string& out : {plain, folder.path("symlink"), folder.path("hardlink"), folder.path("./plain")}) {
        EXPECT_EQ(encrypt(key, plain, out), QH_RSA_E_SAME_FILE) << out;
        EXPECT_EQ(decrypt(key, plain, out), QH_RSA_E_SAME_FILE) << out;
    }
    EXPECT_EQ(ReadFile(plain), "original");
    EXPECT_EQ(folder.entryCount(), 3u);

    EXPECT_EQ(encrypt(key, folder.path("missing"), folder.path("out")), QH_RSA_E_OPEN_INPUT);
    EXPECT_EQ(decrypt(key, folder.path("missing"), folder.path("out")), QH_RSA_E_OPEN_INPUT);
    EXPECT_EQ(encrypt(key, folder.path(""), folder.path("out")), QH_RSA_E_OPEN_INPUT); // a folder
    EXPECT_EQ(encrypt(key, plain, folder.path("no/such/folder")), QH_RSA_E_OPEN_OUTPUT);
    EXPECT_EQ(encrypt(key, plain, folder.path("")), QH_RSA_E_OPEN_OUTPUT);
    EXPECT_EQ(encrypt(key, plain, ""), QH_RSA_E_OPEN_OUTPUT);
    EXPECT_EQ(rsa.EncryptFile(key.n.c_str(), key.e.c_str(), nullptr, plain.c_str()), QH_RSA_E_ARGUMENT);
    EXPECT_EQ(client.encryptFile(key.n, "2", plain, folder.path("out")), QH_RSA_E_EXPONENT);
    EXPECT_EQ(client.encryptFile(key.n, "1", plain, folder.path("out")), QH_RSA_E_EXPONENT);
    EXPECT_EQ(client.encryptFile("7fffffffffffffffffffffffffffffff", "3", plain, folder.path("out")),
              QH_RSA_E_PRIME_MODULUS);
    EXPECT_EQ(client.decryptFile(key.n + "0", key.d, plain, folder.path("out")), QH_RSA_E_MODULUS);
    EXPECT_EQ(folder.entryCount(), 3u);
}

TEST_F(RsaFiles, OutputsFollowLinksAndNeverReplaceWhatIsNotARegularFile) {
    const TestKey& key = FastKey(128);
    const std::string plain = folder.path("plain");
    WriteFile(plain, "through the link");
    WriteFile(folder.path("target"), "old");
    ASSERT_EQ(::symlink("target", folder.path("link").c_str()), 0);
    ASSERT_EQ(::symlink("made", folder.path("dangling").c_str()), 0);
    const mode_t mask = ::umask(027);
    EXPECT_EQ(encrypt(key, plain, folder.path("link")), QH_RSA_OK);
    EXPECT_EQ(decrypt(key, folder.path("link"), folder.path("dangling")), QH_RSA_OK);
    ::umask(mask);
    struct stat info {};
    for (const char* link : {"link", "dangling"}) {
        ASSERT_EQ(::lstat(folder.path(link).c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << link;
    }
    EXPECT_EQ(ReadFile(folder.path("made")), "through the link");
    ASSERT_EQ(::stat(folder.path("made").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u); // 0666 less the umask, as every new output

    // A FIFO or a device (here through a link) is refused and stays what it is.
    ASSERT_EQ(::mkfifo(folder.path("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", folder.path("null").c_str()), 0);
    const std::size_t entries = folder.entryCount();
    for (const char* out : {"fifo", "null"}) {
        EXPECT_EQ(encrypt(key, plain, folder.path(out)), QH_RSA_E_OPEN_OUTPUT) << out;
        EXPECT_EQ(decrypt(key, folder.path("target"), folder.path(out)), QH_RSA_E_OPEN_OUTPUT) << out;
    }
    EXPECT_EQ(folder.entryCount(), entries);
    ASSERT_EQ(::lstat(folder.path("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::stat(folder.path("null").c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

} // namespace
} // namespace qh::test
