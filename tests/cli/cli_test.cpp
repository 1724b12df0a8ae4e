#include "cli_runner.h"

#include <fstream>
#include <gtest/gtest.h>

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

} // namespace
} // namespace qh::test
