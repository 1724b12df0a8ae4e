#include "cli_runner.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qh::test {
namespace {

TEST(CliGeneral, HelpVersionAndUsageErrors) {
    EXPECT_EQ(RunCli("--help").status, 0);
    const CliRun version = RunCli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("quillhorn-cli"), std::string::npos);
    EXPECT_EQ(RunCli("codes encode --help").status, 0);

    const CliRun unknown = RunCli("frobnicate");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.rfind("quillhorn-cli: ", 0), 0u);
    EXPECT_EQ(RunCli("codes decode --help").status, 0);
    EXPECT_EQ(RunCli("").status, 2);
    EXPECT_EQ(RunCli("codes encode --bogus").status, 2);
    EXPECT_EQ(RunCli("codes encode --width").status, 2);
    EXPECT_EQ(RunCli("codes encode --width x").status, 2);
    EXPECT_EQ(RunCli("codes encode /nonexistent/file").status, 2);
}

TEST(CliGeneral, AFailedWriteOfStandardOutputIsReportedOnceWithExit2) {
    const std::string dir = MakeTempDir();
    const CliRun key = RunCli("rsa keygen --bits 128");
    ASSERT_EQ(key.status, 0) << key.err;
    WriteFile(dir + "/key", key.out);
    WriteFile(dir + "/in", "abc");
    const std::string big(100000, 'x'); // fails in the middle of the output, not only at its end
    const struct {
        std::string arguments, input;
    } runs[] = {
        {"--help", ""},
        {"--version", ""},
        {"codes encode", "A"},
        {"codes decode --hex", big},
        {"sha256 -s abc", ""},
        {"crc32 " + dir + "/in", ""},
        {"md5 -c -", "900150983cd24fb0d6963f7d28e17f72  " + dir + "/in\n"},
        {"des --help", ""},
        {"base64", "abc"},
        {"base64 -d", big},
        {"rsa keygen", ""},
        {"rsa encrypt-int --key " + dir + "/key 1234", ""},
        {"rsa encrypt --key " + dir + "/key", big},
    };
    for (const auto& [arguments, input] : runs) {
        const CliRun run = RunCliWritingTo("/dev/full", arguments, input);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.err, "quillhorn-cli: write error: No space left on device\n") << arguments;
    }
    Shell("rm -rf " + dir);
}

TEST(CliCodesEncode, EncodesStandardInputAndFiles) {
    EXPECT_EQ(RunCli("codes encode --hex --prefix %", "AB").out, "%41%42");
    EXPECT_EQ(RunCli("codes encode --suffix ,", "Hi").out, "72,105,");
    EXPECT_EQ(RunCli("codes encode --hex --lower --width 4 --suffix ' '", "\xD6\xD0").out, "00d6 00d0 ");
    EXPECT_EQ(RunCli("codes encode", "").out, "");

    const std::string dir = MakeTempDir();
    std::ofstream(dir + "/in", std::ios::binary) << std::string("\0\xff", 2);
    const CliRun run = RunCli("codes encode --suffix ' ' " + dir + "/in");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0 255 ");
    EXPECT_EQ(RunCli("codes encode -", "A").out, "65");
}

TEST(CliCodesEncode, LargeInputStreamsWhole) {
    const std::string input(3 << 20, 'A'); // more than one read chunk
    const CliRun run = RunCli("codes encode --hex", input);
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.out.size(), input.size() * 2);
    EXPECT_EQ(run.out.find_first_not_of("41"), std::string::npos);
}

TEST(CliCodesDecode, DecodesStandardInputAndFiles) {
    EXPECT_EQ(RunCli("codes decode --dec --prefix '#' --suffix ';'", "#65;#66;").out, "AB");
    EXPECT_EQ(RunCli("codes decode --hex --prefix %", "%41%42%d6%D0").out, "AB\xD6\xD0");
    EXPECT_EQ(RunCli("codes decode --hex", "414243").out, "ABC");
    EXPECT_EQ(RunCli("codes decode --dec", "").out, "");

    const std::string dir = MakeTempDir();
    std::ofstream(dir + "/in", std::ios::binary) << "65 66 67";
    const CliRun run = RunCli("codes decode --dec --suffix ' ' " + dir + "/in");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "ABC");
    EXPECT_EQ(RunCli("codes decode --dec --suffix ';' -", "72;105;").out, "Hi");
}

TEST(CliCodesDecode, ZeroCodesAndUnusableBytes) {
    // A zero code stays in the output, and so do the codes after it.
    EXPECT_EQ(RunCli("codes decode --dec --suffix ';'", "65;0;66;").out, std::string("A\0B", 3));

    const CliRun ignored = RunCli("codes decode --dec --prefix '#' --suffix ';'", "#65;x#66;");
    EXPECT_EQ(ignored.status, 0);
    EXPECT_EQ(ignored.out, "AB");
    EXPECT_EQ(ignored.err, ""); // no report unless asked for

    const CliRun copied = RunCli("codes decode --dec --prefix '#' --suffix ';' --copy-errors --report", "#65;x#6y6;");
    EXPECT_EQ(copied.status, 0);
    EXPECT_EQ(copied.out, "AxyB");
    EXPECT_EQ(copied.err, "\r\nError 1: the 4 char not match prefix,char x has copy to result."
                          "\r\nError 2: y is not an effect char,copy to result.");

    const CliRun reported = RunCli("codes decode --hex --report", "4g1");
    EXPECT_EQ(reported.out, "\x04\x01");
    EXPECT_EQ(reported.err, "\r\nError 1: g is not an effect char,passed.");
}

TEST(CliCodesDecode, UsageErrors) {
    for (const char* arguments :
         {"codes decode", "codes decode --dec --hex", "codes decode --hex --dec --hex", "codes decode --dec --width 3",
          "codes decode --dec --prefix", "codes decode --dec a b", "codes decode --dec /nonexistent/file"}) {
        SCOPED_TRACE(arguments);
        const CliRun run = RunCli(arguments, "65");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("quillhorn-cli: ", 0), 0u);
    }
    EXPECT_EQ(RunCli("codes decode --dec --dec", "65").out, "A");
}

TEST(CliCodesDecode, LargeInputStreamsWhole) {
    std::string input;
    for (int i = 0; i < (1 << 20); ++i)
        input += "#41;"; // codes straddle the read chunks
    input += "#4";       // ended by the end of the input
    const CliRun run = RunCli("codes decode --hex --prefix '#' --suffix ';' --report", input);
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.out.size(), (1u << 20) + 1);
    EXPECT_EQ(run.out.find_first_not_of('A'), 1u << 20);
    EXPECT_EQ(run.out.back(), '\x04');
    EXPECT_EQ(run.err, "");
}

// A command line run in a UTF-8 terminal.
CliRun RunInUtf8(const std::string& arguments, const std::string& input = std::string()) {
    return RunShell(std::string("LC_ALL=C.UTF-8 ") + QH_CLI_PATH + " " + arguments, input);
}

TEST(CliEncoding, CommandLineTextsAreTakenInTheNamedCodePage) {
    // Without --encoding the shell's bytes (UTF-8 here); with GBK those of the GUI's default.
    EXPECT_EQ(RunInUtf8("md5 -s 你好").out, "7eca689f0d3389d9dea66ae112e5cfd7  \"你好\"\n");
    EXPECT_EQ(RunInUtf8("md5 --encoding GBK -s 你好").out, "b94ae3c6d892b29cf48d9bea819b27b9  \"你好\"\n");
    EXPECT_EQ(RunInUtf8("codes encode --hex --prefix 中 --encoding=gbk", "A").out, "\xD6\xD0"
                                                                                   "41");
    const std::string dir = MakeTempDir();
    WriteFile(dir + "/in", "plain text");
    ASSERT_EQ(RunInUtf8("des encrypt --encoding GBK -k 密码密码 " + dir + "/in " + dir + "/text").status, 0);
    ASSERT_EQ(RunCli("des encrypt -K 'C3 DC C2 EB C3 DC C2 EB' " + dir + "/in " + dir + "/bytes").status, 0);
    EXPECT_EQ(ReadFile(dir + "/text"), ReadFile(dir + "/bytes"));
    Shell("rm -rf " + dir);

    // A character the page cannot hold, a text the locale cannot read, an unknown page.
    const CliRun thai = RunInUtf8("md5 --encoding GBK -s ก");
    EXPECT_EQ(thai.status, 2);
    EXPECT_EQ(thai.err, "quillhorn-cli: -s: 'ก' (U+0E01) cannot be written in GBK\n");
    const CliRun ascii = RunShell(std::string("LC_ALL=C ") + QH_CLI_PATH + " sha1 --encoding UTF-8 -s 你");
    EXPECT_EQ(ascii.status, 2);
    EXPECT_NE(ascii.err.find("not valid in the locale's code page"), std::string::npos) << ascii.err;
    const CliRun unknown = RunInUtf8("crc32 --encoding KOI8-R -s a");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.rfind("quillhorn-cli: unknown code page 'KOI8-R'", 0), 0u) << unknown.err;
}

TEST(CliEncoding, UnicodeCodesAreCodePointsOfTheTextsCharacters) {
    EXPECT_EQ(RunCli("codes encode --unicode --prefix '&#' --suffix ';'", "你好").out, "&#20320;&#22909;");
    EXPECT_EQ(RunCli("codes encode --unicode --hex --prefix '\\u' --encoding GBK", "\xC4\xE3\xBA\xC3").out,
              "\\u4F60\\u597D");
    EXPECT_EQ(RunCli("codes encode --unicode --encoding UTF-16LE --suffix ' '", "\x60\x4F\x7D\x59").out,
              std::string("2\0"
                          "0\0"
                          "3\0"
                          "2\0"
                          "0\0 \0"
                          "2\0"
                          "2\0"
                          "9\0"
                          "0\0"
                          "9\0 \0",
                          24));
    EXPECT_EQ(RunCli("codes decode --dec --unicode --prefix '&#' --suffix ';'", "&#20320;&#22909;").out, "你好");
    EXPECT_EQ(RunCli("codes decode --hex --unicode --prefix '\\u'", "\\u4F60\\u597d\\u1F600").out, "你好😀");

    // Characters GBK cannot hold are written as '?' and named; the input's bad bytes too.
    const CliRun gbk = RunCli("codes decode --hex --unicode --prefix '\\u' --encoding GBK", "\\u4F60\\u0E01");
    EXPECT_EQ(gbk.status, 0);
    EXPECT_EQ(gbk.out, "\xC4\xE3?");
    EXPECT_NE(gbk.err.find("U+0E01"), std::string::npos) << gbk.err;
    const CliRun bad = RunCli("codes encode --unicode", "A\xFF");
    EXPECT_EQ(bad.out, "6565533");
    EXPECT_EQ(bad.err, "quillhorn-cli: codes encode: 1 input byte is no text in UTF-8; each was read as U+FFFD\n");
    const CliRun report = RunCli("codes decode --dec --unicode --prefix '#' --report", "é#65");
    EXPECT_EQ(report.out, "A");
    EXPECT_EQ(report.err, "\r\nError 1: the 0 char not match prefix,char é has passed.");
}

// A folder with a file, a link to it and a short RSA key, for the rules every
// command with an input and an output follows.
class CliFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempDir();
        WriteFile(path("f"), RandomBytes(5000, 9));
        Shell("ln -s f " + path("link") + " && mkdir " + path("sub") + " " + path("tmp") + " && mkfifo " +
              path("fifo"));
        const CliRun key = RunCli("rsa keygen --bits 128");
        ASSERT_EQ(key.status, 0) << key.err;
        WriteFile(path("key"), key.out);
    }
    void TearDown() override { Shell("rm -rf " + dir_); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    // A command line run in the folder with TMPDIR in it.
    std::string in(const std::string& line) const {
        return "cd " + dir_ + " && TMPDIR=" + path("tmp") + " " + QH_CLI_PATH + " " + line;
    }
    std::string dir_;
};

TEST_F(CliFiles, NoCommandWritesIntoItsOwnInput) {
    const std::string original = ReadFile(path("f"));
    for (const char* line :
         {"codes encode f >>f", "codes decode --hex f >>link", "codes encode <f >>f", "codes encode /dev/stdin <f >>f",
          "base64 f >>f", "base64 -d f ./link", "base64 f /dev/stdout >>f", "des encrypt -k 12345678 f - >>f",
          "des encrypt -k 12345678 - ./f <link", "des decrypt -k 12345678 f /proc/self/fd/1 >>f",
          "rsa encrypt --key key f >>link", "rsa decrypt --key key - f <f"}) {
        SCOPED_TRACE(line);
        const CliRun run = RunShell(in(line));
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("are the same file; nothing written"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(path("f")), original);
    }
    EXPECT_EQ(Shell("ls -A " + path("tmp")), "");
}

TEST_F(CliFiles, OutputNamesFollowOneRule) {
    const std::string encoded = RunCli("base64 " + path("f")).out;
    const std::string sealed = RunCli("des encrypt -k 12345678 " + path("f") + " -").out;
    ASSERT_FALSE(sealed.empty());
    // A name of standard output is standard output, a pipe here.
    for (const char* output : {"-", "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        SCOPED_TRACE(output);
        EXPECT_EQ(RunShell(in("base64 f ") + output + " | cat").out, encoded);
        EXPECT_EQ(RunShell(in("des encrypt -k 12345678 f ") + output + " | cat").out, sealed);
        EXPECT_EQ(RunShell(in("rsa encrypt --key key f ") + output + " | " + QH_CLI_PATH + " rsa decrypt --key " +
                           path("key"))
                      .out,
                  ReadFile(path("f")));
    }
    // Any other existing file that is not a regular one is left as it is.
    for (const char* output : {"fifo", "/dev/null", "sub"}) {
        for (const std::string command : {"base64 f ", "des encrypt -k 12345678 f ", "rsa encrypt --key key f "}) {
            SCOPED_TRACE(command + output);
            const CliRun run = RunShell(in(command + output));
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(output), std::string::npos) << run.err;
        }
    }
    EXPECT_EQ(Shell("cd " + dir_ + " && stat -c %F fifo sub"), "fifo\ndirectory\n");
    EXPECT_EQ(Shell("ls -A " + path("tmp")), "");
}

TEST_F(CliFiles, AFolderAsInputIsADirectory) {
    for (const char* line : {"codes encode sub", "codes decode --dec sub", "base64 sub", "base64 -d sub out",
                             "des encrypt -k 12345678 sub out", "rsa encrypt --key key sub out",
                             "rsa encrypt --key sub", "sha256 sub", "crc32 sub", "md5 -c sub"}) {
        SCOPED_TRACE(line);
        const CliRun run = RunShell(in(line));
        EXPECT_EQ(run.err, "quillhorn-cli: sub: Is a directory\n");
        EXPECT_EQ(run.status, std::string(line) == "md5 -c sub" ? 1 : 2);
    }
    EXPECT_FALSE(Exists(path("out")));
}

TEST_F(CliFiles, LongOptionsTakeTheirValueAfterAnEqualsSign) {
    const struct {
        const char* line;
        const char* expected;
    } cases[] = {
        {"codes encode --prefix=% --hex", "%41%42"},
        {"codes encode --width=4 --suffix=,", "0065,0066,"},
        {"codes decode --hex --prefix=% --suffix=", "AB"},
        {"crc16 --format=dec -s 123456789", "47933  \"123456789\"\n"},
        {"rsa encrypt-int --key=key 0", "0\n"},
        {"rsa keygen --bits=64 | wc -l", "3\n"},
    };
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line);
        const std::string input = std::string(line).find("decode") != std::string::npos ? "%41%42" : "AB";
        const CliRun run = RunShell(in(line), input);
        EXPECT_EQ(run.out, expected);
        EXPECT_EQ(run.status, 0) << run.err;
    }
    for (const char* line : {"codes encode --hex=1", "base64 --decode=yes", "sha256 --tag=1", "md5 --check=SUMS"}) {
        const CliRun run = RunShell(in(line), "AB");
        EXPECT_EQ(run.status, 2) << line;
        EXPECT_NE(run.err.find("takes no value"), std::string::npos) << run.err;
    }
}

TEST_F(CliFiles, AFailedWriteOfANamedOutputSaysWhy) {
    // Files past one block may not grow; the signal that would end the program is ignored.
    WriteFile(path("big"), RandomBytes(100000, 3));
    WriteFile(path("big64"), RunCli("base64 " + path("big")).out);
    for (const char* line : {"base64 big out", "base64 -d - out <big64"}) {
        SCOPED_TRACE(line);
        const CliRun run = RunShell("trap '' XFSZ; ulimit -f 4; " + in(line));
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(": write error: File too large\n"), std::string::npos) << run.err;
        EXPECT_FALSE(Exists(path("out")));
    }
    EXPECT_EQ(Shell("ls -A " + dir_ + " | grep -c tmp"), "1\n"); // the TMPDIR folder, no temporary file
    EXPECT_EQ(Shell("ls -A " + path("tmp")), "");
}

// The names in a folder, sorted.
std::string Listing(const std::string& folder) {
    return Shell("ls -A " + folder);
}

// Waits up to ten seconds for `ready` to hold.
template <typename Ready> bool WaitFor(Ready ready) {
    for (int i = 0; i < 1000; ++i) {
        if (ready())
            return true;
        ::usleep(10000);
    }
    return false;
}

TEST_F(CliFiles, AnInterruptedCommandLeavesNoTemporaryFile) {
    WriteFile(path("out"), "old");
    const std::string before = Listing(dir_);
    // Each command reads a FIFO that is fed a little and never closed, so it
    // is caught in the middle: base64 with its output open beside the target,
    // des and rsa copying the input to their scratch folder.
    const struct {
        const char* command;
        bool scratch; // what to wait for: a scratch folder in TMPDIR, or a temporary file beside out
    } commands[] = {{"base64 fifo out", false},
                    {"des encrypt -k 12345678 fifo out", true},
                    {"rsa encrypt --key key fifo out", true}};
    for (const auto& [command, scratch] : commands) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(std::string(command) + " " + ::strsignal(signal));
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                const std::string line =
                    "cd " + dir_ + " && TMPDIR=" + path("tmp") + " exec " + QH_CLI_PATH + " " + command;
                ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
                ::_exit(127);
            }
            // Never waits, never ends the input, and never blocks the test.
            const int feed = ::open(path("fifo").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            ASSERT_GE(feed, 0);
            const std::string bytes(1000, 'x');
            EXPECT_EQ(::write(feed, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
            const bool caught =
                WaitFor([&] { return scratch ? !Listing(path("tmp")).empty() : Listing(dir_) != before; });
            EXPECT_TRUE(caught);
            ::usleep(50000); // well inside the copy
            ::kill(child, signal);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ::close(feed);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            EXPECT_EQ(Listing(dir_), before);
            EXPECT_EQ(Listing(path("tmp")), "");
            EXPECT_EQ(ReadFile(path("out")), "old");
        }
    }
}

} // namespace
} // namespace qh::test
