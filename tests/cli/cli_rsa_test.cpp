// quillhorn-cli rsa: keys from keygen working both ways for files and
// integers, key files as the key tool copies them, and the exit statuses of
// wrong keys, damaged files and bad key files.
#include "cli_runner.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace qh::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool IsLowerHex(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// A folder with two keys of 512 bits made by keygen: key (as keygen writes it)
// and other.
class CliRsa : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new std::string(MakeTempDir());
        for (const char* name : {"key", "other"}) {
            const CliRun run = RunCli("rsa keygen --bits 512");
            ASSERT_EQ(run.status, 0) << run.err;
            WriteFile(*dir_ + "/" + name, run.out);
        }
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string path(const std::string& name) { return *dir_ + "/" + name; }

private:
    static std::string* dir_;
};

std::string* CliRsa::dir_ = nullptr;

TEST_F(CliRsa, KeygenPrintsThreeNumbersOfTheAskedLength) {
    const CliRun run = RunCli("rsa keygen");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& line : lines)
        EXPECT_TRUE(IsLowerHex(line)) << line;
    EXPECT_EQ(lines[0].size(), 256u); // 1024 bits by default, top bit set
    EXPECT_GE(lines[0][0], '8');
    EXPECT_EQ(run.out.back(), '\n');

    const CliRun shortest = RunCli("rsa keygen --bits=128");
    EXPECT_EQ(Lines(shortest.out).at(0).size(), 32u);
    EXPECT_EQ(shortest.err, "");
    // Below 128 bits the key has 64 bits, which the file format cannot use: made, with a warning.
    for (const char* bits : {"1", "127"}) {
        const CliRun tiny = RunCli(std::string("rsa keygen --bits ") + bits);
        EXPECT_EQ(tiny.status, 0) << bits;
        EXPECT_EQ(Lines(tiny.out).at(0).size(), 16u) << bits;
        EXPECT_EQ(tiny.err, "quillhorn-cli: warning: a key of 64 bits is too short for rsa encrypt and decrypt "
                            "(128 bits at least); it serves encrypt-int and decrypt-int\n");
    }
    EXPECT_EQ(Lines(RunCli("rsa keygen --bits 1000").out).at(0).size(), 240u); // 960 bits, as the key tool
    EXPECT_EQ(Lines(ReadFile(path("key"))).at(0).size(), 128u);
    for (const char* bad : {"0", "abc", "-512", "8256", "99999999999", "''"})
        EXPECT_EQ(RunCli(std::string("rsa keygen --bits ") + bad).status, 2) << bad;
    EXPECT_EQ(RunCli("rsa keygen --bits").status, 2);
    EXPECT_EQ(RunCli("rsa keygen extra").status, 2);
}

TEST_F(CliRsa, FilesRoundTripThroughNamedFilesAndStreams) {
    std::string plain = RandomBytes(300000, 7);
    plain[0] = plain[1000] = plain.back() = '\0';
    WriteFile(path("plain"), plain);
    const std::string key = "--key " + path("key");

    ASSERT_EQ(RunCli("rsa encrypt " + key + " " + path("plain") + " " + path("sealed")).status, 0);
    const std::string sealed = ReadFile(path("sealed"));
    EXPECT_EQ(sealed.substr(0, 6), std::string("QHRSA\x02")); // layout 2 under a 512-bit key
    ASSERT_EQ(RunCli("rsa decrypt " + key + " " + path("sealed") + " " + path("opened")).status, 0);
    EXPECT_EQ(ReadFile(path("opened")), plain);

    // Standard input and output, also as "-".
    const CliRun streamed = RunCli("rsa encrypt " + key, plain);
    ASSERT_EQ(streamed.status, 0) << streamed.err;
    EXPECT_EQ(streamed.out.size(), sealed.size()); // same length, different random padding
    EXPECT_NE(streamed.out, sealed);
    const CliRun back = RunCli("rsa decrypt " + key + " - -", streamed.out);
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.out, plain);
    EXPECT_EQ(RunCli("rsa decrypt " + key, RunCli("rsa encrypt " + key, "").out).out, "");
}

TEST_F(CliRsa, IntegersRoundTripAndKeyFilesAsTheKeyToolCopiesThem) {
    const std::vector<std::string> key = Lines(ReadFile(path("key")));
    ASSERT_EQ(key.size(), 3u);
    // The key tool's copy: CR LF between the numbers, none at the end.
    WriteFile(path("copied"), key[0] + "\r\n" + key[1] + "\r\n" + key[2]);
    const std::string copied = "--key " + path("copied");

    const CliRun sealed = RunCli("rsa encrypt-int " + copied + " 1234ABCD");
    ASSERT_EQ(sealed.status, 0) << sealed.err;
    ASSERT_TRUE(sealed.out.size() > 1 && sealed.out.back() == '\n');
    const std::string value = sealed.out.substr(0, sealed.out.size() - 1);
    EXPECT_TRUE(IsLowerHex(value));
    EXPECT_EQ(RunCli("rsa decrypt-int --key " + path("key") + " " + value).out, "1234abcd\n");
    EXPECT_EQ(RunCli("rsa decrypt-int " + copied + " '" + value + "'").out, "1234abcd\n");
    EXPECT_EQ(RunCli("rsa encrypt-int " + copied + " 0").out, "0\n");
    EXPECT_EQ(RunCli("rsa encrypt-int " + copied + " 1").out, "1\n");

    // CR LF line ends with a final one, trailing blanks inside a line.
    WriteFile(path("crlf"), key[0] + " \r\n" + key[1] + "\r\n" + key[2] + "\r\n");
    WriteFile(path("plain"), std::string("\0\x01\x02 text", 8));
    ASSERT_EQ(RunCli("rsa encrypt --key " + path("crlf") + " " + path("plain") + " " + path("sealed")).status, 0);
    EXPECT_EQ(RunCli("rsa decrypt " + copied + " " + path("sealed")).out, std::string("\0\x01\x02 text", 8));

    // A number not below n, or not hexadecimal.
    EXPECT_EQ(RunCli("rsa encrypt-int " + copied + " " + key[0]).status, 2);
    EXPECT_EQ(RunCli("rsa encrypt-int " + copied + " 12g4").status, 2);
    EXPECT_EQ(RunCli("rsa encrypt-int " + copied + " -- -5").status, 2);
    EXPECT_EQ(RunCli("rsa encrypt-int " + copied).status, 2);
}

TEST_F(CliRsa, WrongKeysAndDamageFailBadKeyFilesAreUsageErrors) {
    WriteFile(path("plain"), "secret");
    ASSERT_EQ(RunCli("rsa encrypt --key " + path("key") + " " + path("plain") + " " + path("sealed")).status, 0);
    const std::string sealed = ReadFile(path("sealed"));

    const CliRun wrong = RunCli("rsa decrypt --key " + path("other") + " " + path("sealed") + " " + path("out"));
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err.rfind("quillhorn-cli: decryption failed: ", 0), 0u) << wrong.err;
    EXPECT_NE(wrong.err.find("QH_RSA_E_"), std::string::npos);
    EXPECT_TRUE(ReadFile(path("out")).empty()); // nothing written

    const CliRun damaged = RunCli("rsa decrypt --key " + path("key"), sealed.substr(0, sealed.size() - 1));
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("QH_RSA_E_FORMAT"), std::string::npos) << damaged.err;
    EXPECT_EQ(RunCli("rsa decrypt --key " + path("key"), "not encrypted").status, 1);

    const std::vector<std::string> key = Lines(ReadFile(path("key")));
    const std::vector<std::string> badKeys = {
        key[0] + "\n" + key[1] + "\n",                    // no d
        key[0] + "\n" + key[1] + "\n" + key[2] + "\n1\n", // four numbers
        key[0] + "\n\n" + key[2] + "\n",                  // empty e
        key[0] + "\n" + key[1] + "\n" + key[2] + "x\n",   // not hexadecimal
        "0x" + key[0] + "\n" + key[1] + "\n" + key[2] + "\n",
        "",
    };
    for (const std::string& bad : badKeys) {
        WriteFile(path("bad"), bad);
        const CliRun run = RunCli("rsa encrypt --key " + path("bad") + " " + path("plain") + " " + path("out2"));
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.err.rfind("quillhorn-cli: ", 0), 0u);
    }
    EXPECT_EQ(RunCli("rsa encrypt --key " + path("missing") + " " + path("plain")).status, 2);
    // Keys and numbers the component refuses, each with the status that names why.
    WriteFile(path("even"), "10\n3\n3\n");
    WriteFile(path("one"), key[0] + "\n1\n1\n");
    WriteFile(path("prime"), "7fffffffffffffffffffffffffffffff\n3\n3\n");
    for (const auto& [arguments, status] : std::vector<std::pair<std::string, std::string>>{
             {"encrypt-int --key " + path("even") + " 2", "QH_RSA_E_MODULUS"},
             {"encrypt-int --key " + path("key") + " " + key[0], "QH_RSA_E_RANGE"},
             {"encrypt --key " + path("one") + " " + path("plain") + " " + path("out2"), "QH_RSA_E_EXPONENT"},
             {"encrypt --key " + path("prime") + " " + path("plain") + " " + path("out2"), "QH_RSA_E_PRIME_MODULUS"}}) {
        const CliRun run = RunCli("rsa " + arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find(status), std::string::npos) << run.err;
    }
    EXPECT_FALSE(Exists(path("out2")));
}

TEST_F(CliRsa, TheKeyMayComeFromStandardInputWhenTheInputDoesNot) {
    const std::string keyText = ReadFile(path("key"));
    WriteFile(path("plain"), "from a file");
    ::unlink(path("piped").c_str());
    // Both would read standard input: refused before anything is read or written.
    const std::vector<std::string> bothFromStandardInput = {
        "rsa encrypt --key -", "rsa encrypt --key=- - " + path("piped"), "rsa decrypt --key /dev/stdin",
        "rsa encrypt --key - /dev/stdin -"};
    for (const std::string& arguments : bothFromStandardInput) {
        const CliRun run = RunCli(arguments, keyText);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err.find("standard input"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(Exists(path("piped")));
    ASSERT_EQ(RunCli("rsa encrypt --key - " + path("plain") + " " + path("piped"), keyText).status, 0);
    EXPECT_EQ(RunCli("rsa decrypt --key " + path("key") + " " + path("piped")).out, "from a file");
    EXPECT_EQ(RunCli("rsa encrypt-int --key /dev/stdin 0", keyText).out, "0\n");
}

TEST_F(CliRsa, StandardOutputServesAsOutputForAnyUser) {
    // A user who may write nothing but $TMPDIR: as root, the program runs as
    // nobody (a copy of it, in a folder everyone may read).
    std::string runAs;
    const std::string folder = MakeTempDir();
    if (::geteuid() == 0) {
        if (Shell("command -v setpriv").empty())
            GTEST_SKIP() << "running as root without setpriv";
        runAs = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    const std::string cli = std::string(QH_CLI_PATH);
    const std::string bin = cli.substr(0, cli.rfind('/'));
    Shell("cp " + cli + " " + bin + "/libquillhorn-rsa.so " + path("key") + " " + folder + " && mkdir -m 1777 " +
          folder + "/tmp && chmod 755 " + folder + " && chmod 644 " + folder + "/key");
    WriteFile(folder + "/plain", "for anyone");
    const std::string program = "TMPDIR=" + folder + "/tmp " + runAs + folder + "/quillhorn-cli rsa ";
    const std::string out = MakeTempDir() + "/out";
    for (const char* output : {"-", "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        SCOPED_TRACE(output);
        EXPECT_EQ(Shell(program + "encrypt --key " + folder + "/key " + folder + "/plain " + output + " >" + out +
                        "; echo $?"),
                  "0\n");
        EXPECT_EQ(RunCli("rsa decrypt --key " + path("key") + " " + out).out, "for anyone");
        EXPECT_EQ(Shell(program + "decrypt --key " + folder + "/key - " + output + " <" + out + "; echo $?"),
                  "for anyone0\n");
    }
    EXPECT_EQ(Shell("ls -A " + folder + "/tmp"), ""); // no scratch file left
    Shell("rm -rf " + folder + " " + out.substr(0, out.rfind('/')));
}

TEST_F(CliRsa, UsageErrorsAndTheSameFile) {
    const std::string key = "--key " + path("key");
    EXPECT_EQ(RunCli("rsa --help").status, 0);
    EXPECT_EQ(RunCli("rsa encrypt --help").status, 0);
    EXPECT_EQ(RunCli("rsa").status, 2);
    EXPECT_EQ(RunCli("rsa sign " + key).status, 2);
    EXPECT_EQ(RunCli("rsa encrypt " + path("plain")).status, 2); // no key
    EXPECT_EQ(RunCli("rsa encrypt " + key + " " + key).status, 2);
    EXPECT_EQ(RunCli("rsa encrypt " + key + " a b c").status, 2);
    EXPECT_EQ(RunCli("rsa encrypt " + key + " --bits 512").status, 2);

    WriteFile(path("self"), "keep me");
    const CliRun same = RunCli("rsa encrypt " + key + " " + path("self") + " " + path("self"));
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("same file"), std::string::npos);
    // Standard output appended to the input file.
    const int raw = std::system(
        (std::string(QH_CLI_PATH) + " rsa encrypt " + key + " " + path("self") + " >>" + path("self") + " 2>/dev/null")
            .c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 2);
    EXPECT_EQ(ReadFile(path("self")), "keep me");
    EXPECT_EQ(RunCli("rsa encrypt " + key + " " + path("missing-input") + " " + path("out3")).status, 2);
    EXPECT_EQ(RunCli("rsa encrypt " + key + " " + path("self") + " /nonexistent/folder/out").status, 2);
}

TEST_F(CliRsa, OutputLinksAreFollowedAndFifosRefused) {
    const std::string key = "--key " + path("key");
    WriteFile(path("plain"), "secret");
    WriteFile(path("target"), "old");
    ::unlink(path("link").c_str());
    ASSERT_EQ(::symlink(path("target").c_str(), path("link").c_str()), 0);
    ASSERT_EQ(RunCli("rsa encrypt " + key + " " + path("plain") + " " + path("link")).status, 0);
    struct stat info {};
    ASSERT_EQ(::lstat(path("link").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(RunCli("rsa decrypt " + key + " " + path("target")).out, "secret");

    ::unlink(path("fifo").c_str());
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    const CliRun run = RunCli("rsa encrypt " + key + " " + path("plain") + " " + path("fifo"));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
    ASSERT_EQ(::lstat(path("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

} // namespace
} // namespace qh::test
