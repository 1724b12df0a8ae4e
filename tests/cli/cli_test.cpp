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
    EXPECT_EQ(RunCli("").status, 2);
    EXPECT_EQ(RunCli("codes encode --bogus").status, 2);
    EXPECT_EQ(RunCli("codes encode --width").status, 2);
    EXPECT_EQ(RunCli("codes encode --width x").status, 2);
    EXPECT_EQ(RunCli("codes encode /nonexistent/file").status, 2);
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

} // namespace
} // namespace qh::test
