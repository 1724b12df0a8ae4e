// quillhorn-cli des and base64: the engine's file layout both ways, the key
// rules, the same-file refusal, and Base64 against coreutils base64.
#include "base64.h"
#include "cli_runner.h"
#include "des.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace qh::test {
namespace {

constexpr const char* kKeyMessage = "quillhorn-cli: 密匙必须为 8 个字节.\n";

DesKey KeyOf(std::string_view bytes) {
    DesKey key{};
    for (std::size_t i = 0; i < key.size() && i < bytes.size(); ++i)
        key[i] = static_cast<std::uint8_t>(bytes[i]);
    return key;
}

class CipherFiles : public ::testing::Test {
protected:
    void SetUp() override { dir_ = MakeTempDir(); }
    void TearDown() override { Shell("rm -rf " + dir_); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string dir_;
};

TEST_F(CipherFiles, DesFilesInteroperateWithTheEngine) {
    const DesKey key = KeyOf("abcdefgh");
    // Empty, short, whole and partial chunks, and a final chunk that pads to a full one.
    for (const std::size_t size : {0u, 7u, 8u, 1024u, 1025u, 1020u, 5u * 1024u + 333u}) {
        SCOPED_TRACE(size);
        const std::string plain = RandomBytes(size, static_cast<unsigned>(size));
        WriteFile(path("plain"), plain);

        // -k uses the first 8 bytes of its text.
        CliRun run = RunCli("des encrypt -k abcdefghXYZ " + path("plain") + " " + path("cli.des"));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out + run.err, "");
        ASSERT_EQ(DesEncryptFile(path("plain"), path("engine.des"), key), kDesOk);
        EXPECT_EQ(ReadFile(path("cli.des")), ReadFile(path("engine.des")));

        ASSERT_EQ(DesDecryptFile(path("cli.des"), path("engine.out"), key), kDesOk);
        EXPECT_EQ(ReadFile(path("engine.out")), plain);
        run = RunCli("des decrypt -K '61 62 63 64 65 66 67 68' " + path("engine.des") + " " + path("cli.out"));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadFile(path("cli.out")), plain);
    }
}

TEST_F(CipherFiles, DesKeyRules) {
    const std::string plain = RandomBytes(100, 7);
    WriteFile(path("plain"), plain);

    // A key the GUI refuses, checked before the paths (the input does not exist here).
    for (const char* key : {"-k 1234567", "-k ''", "-K '01 02'"}) {
        SCOPED_TRACE(key);
        const CliRun run = RunCli(std::string("des encrypt ") + key + " " + path("missing") + " " + path("out"));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, kKeyMessage);
        EXPECT_FALSE(Exists(path("out")));
    }

    // -K: 8 characters are enough; missing bytes are zero. A zero byte in the key counts.
    CliRun run = RunCli("des encrypt -K '01 00 03' " + path("plain") + " " + path("short.des"));
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(DesEncryptFile(path("plain"), path("engine.des"), DesKey{1, 0, 3, 0, 0, 0, 0, 0}), kDesOk);
    EXPECT_EQ(ReadFile(path("short.des")), ReadFile(path("engine.des")));

    // Usage errors.
    EXPECT_EQ(RunCli("des encrypt " + path("plain") + " " + path("o")).status, 2);
    EXPECT_EQ(RunCli("des encrypt -k abcdefgh " + path("plain")).status, 2);
    EXPECT_EQ(RunCli("des encrypt -k abcdefgh -K abcdefgh " + path("plain") + " " + path("o")).status, 2);
    EXPECT_EQ(RunCli("des scramble -k abcdefgh " + path("plain") + " " + path("o")).status, 2);
    EXPECT_EQ(RunCli("des --help").status, 0);
    EXPECT_FALSE(Exists(path("o")));
}

TEST_F(CipherFiles, DesFailuresWriteNothing) {
    const std::string plain = RandomBytes(2048 + 100, 11);
    WriteFile(path("plain"), plain);
    ASSERT_EQ(RunCli("des encrypt -k abcdefgh " + path("plain") + " " + path("enc")).status, 0);

    // A wrong key fails the padding check of the final chunk: no output, an existing one kept.
    WriteFile(path("kept"), "old");
    CliRun run = RunCli("des decrypt -k abcdefgX " + path("enc") + " " + path("kept"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quillhorn-cli: decryption failed\n");
    EXPECT_EQ(ReadFile(path("kept")), "old");

    // A final chunk shorter than one block cannot be valid.
    WriteFile(path("cut"), ReadFile(path("enc")).substr(0, 2048 + 5));
    EXPECT_EQ(RunCli("des decrypt -k abcdefgh " + path("cut") + " " + path("cut.out")).status, 1);
    EXPECT_FALSE(Exists(path("cut.out")));

    // Unreadable input, uncreatable output.
    run = RunCli("des encrypt -k abcdefgh " + path("missing") + " " + path("o"));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("missing"), std::string::npos);
    EXPECT_EQ(RunCli("des encrypt -k abcdefgh " + path("plain") + " " + path("no/such/folder")).status, 2);
    EXPECT_FALSE(Exists(path("o")));
}

TEST_F(CipherFiles, SameFileIsRefusedAndTheInputKept) {
    const std::string plain = RandomBytes(3000, 5);
    WriteFile(path("plain"), plain);
    ASSERT_EQ(::symlink(path("plain").c_str(), path("link").c_str()), 0);
    const std::string spellings[] = {path("plain"), path("link"), dir_ + "/./plain"};
    for (const std::string& output : spellings) {
        SCOPED_TRACE(output);
        for (const char* command : {"des encrypt -k abcdefgh ", "des decrypt -k abcdefgh ", "base64 ", "base64 -d "}) {
            const CliRun run = RunCli(command + path("plain") + " " + output);
            EXPECT_EQ(run.status, 2) << command;
            EXPECT_NE(run.err.find("same file"), std::string::npos) << command;
        }
    }
    // Base64 through redirections of standard input and output to the same file.
    const std::string cli = std::string("cd ") + dir_ + " && " + QH_CLI_PATH;
    EXPECT_EQ(Shell(cli + " base64 plain >>link 2>/dev/null; echo $?"), "2\n");
    EXPECT_EQ(Shell(cli + " base64 -d - link <plain 2>/dev/null; echo $?"), "2\n");
    EXPECT_EQ(ReadFile(path("plain")), plain);
    EXPECT_TRUE(Exists(path("link")));
}

TEST_F(CipherFiles, Base64MatchesCoreutils) {
    // Sizes around the groups of 3 and across the 1 MiB reads of the input.
    for (const std::size_t size : {0u, 1u, 2u, 3u, 100u, (1u << 20) + 1u, (3u << 20) + 2u}) {
        SCOPED_TRACE(size);
        const std::string bytes = RandomBytes(size, static_cast<unsigned>(size) + 1);
        WriteFile(path("in"), bytes);
        const std::string expected = Shell("base64 -w0 " + path("in"));
        ASSERT_EQ(expected, Base64Encode(bytes));

        CliRun run = RunCli("base64", bytes);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, expected);
        run = RunCli("base64 " + path("in") + " " + path("enc"));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(ReadFile(path("enc")), expected);

        // 76-column text with line breaks decodes, from a file and from standard input.
        const std::string wrapped = Shell("base64 " + path("in"));
        WriteFile(path("wrapped"), wrapped);
        run = RunCli("base64 -d " + path("wrapped") + " -");
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out == bytes);
        run = RunCli("base64 --decode - " + path("dec"), wrapped);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(ReadFile(path("dec")) == bytes);
    }
}

TEST_F(CipherFiles, Base64DecodingRules) {
    // Characters outside the alphabet are skipped; "=" in the third or fourth place ends the text.
    EXPECT_EQ(RunCli("base64 -d", "QU JD\r\n\x80QQ==QUJD").out, "ABCA");
    EXPECT_EQ(RunCli("base64 -d", "Q").out, "");
    EXPECT_EQ(RunCli("base64 -d " + path("missing")).status, 2);
    EXPECT_EQ(RunCli("base64 " + path("missing") + " " + path("o")).status, 2);
    EXPECT_FALSE(Exists(path("o")));
    EXPECT_EQ(RunCli("base64 -x").status, 2);
    EXPECT_EQ(RunCli("base64 a b c").status, 2);
    EXPECT_EQ(RunCli("base64 --help").status, 0);
}

TEST_F(CipherFiles, DesTakesStandardStreamsPipesAndProcessSubstitution) {
    const std::string plain = RandomBytes(3000, 13);
    WriteFile(path("plain"), plain);
    ASSERT_EQ(DesEncryptFile(path("plain"), path("engine.des"), KeyOf("12345678")), kDesOk);
    const std::string sealed = ReadFile(path("engine.des"));
    Shell("mkdir " + path("tmp"));
    const std::string cli = "cd " + dir_ + " && TMPDIR=" + path("tmp") + " " + QH_CLI_PATH + " des ";
    const struct {
        std::string line, input, expected; // the expected standard output
    } cases[] = {
        {"encrypt -k 12345678 - -", plain, sealed},
        {"encrypt -k 12345678 plain -", "", sealed},
        {"decrypt -k 12345678 - -", sealed, plain},
        {"encrypt -k 12345678 <(cat plain) /dev/stdout", "", sealed},
        {"encrypt -k 12345678 - - <plain | " + std::string(QH_CLI_PATH) + " des decrypt -k 12345678 - -", "", plain},
        {"encrypt -k 12345678 - ./- && cat ./- && rm ./-", plain, sealed},
    };
    for (const auto& [line, input, expected] : cases) {
        SCOPED_TRACE(line);
        const CliRun run = RunShell(cli + line, input);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out == expected);
    }
    ASSERT_EQ(RunShell(cli + "decrypt -k 12345678 <(cat engine.des) out").status, 0);
    EXPECT_TRUE(ReadFile(path("out")) == plain);
    EXPECT_FALSE(Exists(path("-")));
    EXPECT_EQ(Shell("ls -A " + path("tmp")), ""); // the scratch folders are gone
}

} // namespace
} // namespace qh::test
