// The digest and check-value commands, against the coreutils tools
// (md5sum, sha1sum, ... sha512sum) run through the shell on the same files.
#include "cli_runner.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace qh::test {
namespace {

constexpr std::array<const char*, 6> kDigestCommands = {"md5", "sha1", "sha224", "sha256", "sha384", "sha512"};

std::size_t DigestBytes(const std::string& command) {
    return command == "md5" ? 16 : command == "sha1" ? 20 : std::stoul(command.substr(3)) / 8;
}

// A folder of files worth digesting: empty, short, across the 1 MiB read
// chunk, and names that need quoting or the escape of sha256sum.
class HashFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempDir();
        WriteFile(dir_ + "/empty", "");
        WriteFile(dir_ + "/abc", "abc");
        WriteFile(dir_ + "/big", RandomBytes((3 << 20) + 5, 1));
        WriteFile(dir_ + "/with blank", RandomBytes(1000, 2));
        WriteFile(dir_ + "/back\\slash", "x");
        WriteFile(dir_ + "/line\nfeed", "y");
        Shell("mkdir " + dir_ + "/sub");
    }
    void TearDown() override { Shell("rm -rf " + dir_); }
    // The files as shell arguments, in that order.
    std::string files() const {
        std::string list;
        for (const char* name : {"empty", "abc", "big", "'with blank'", "'back\\slash'", "'line\nfeed'"})
            list += " " + dir_ + "/" + name;
        return list;
    }
    std::string dir_;
};

TEST_F(HashFiles, LinesMatchCoreutilsByteForByte) {
    for (const char* command : kDigestCommands) {
        SCOPED_TRACE(command);
        const std::string expected = Shell(std::string(command) + "sum" + files());
        ASSERT_NE(expected, "");
        const CliRun run = RunCli(std::string(command) + files());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, expected);
        EXPECT_EQ(run.err, "");

        // Standard input, by default and as "-", named "-".
        const std::string big = RandomBytes((2 << 20) + 7, 3);
        WriteFile(dir_ + "/stdin", big);
        const std::string fromStdin = Shell(std::string(command) + "sum <" + dir_ + "/stdin");
        EXPECT_EQ(RunCli(command, big).out, fromStdin);
        EXPECT_EQ(RunCli(std::string(command) + " -", big).out, fromStdin);
    }
}

TEST_F(HashFiles, CheckAcceptsCoreutilsListsAndReportsFailures) {
    for (const char* command : kDigestCommands) {
        SCOPED_TRACE(command);
        const std::string list = dir_ + "/" + command + ".list";
        // Text mode ("  "), binary-mode marker ("*"), and an upper-case digest.
        Shell(std::string(command) + "sum" + files() + " >" + list);
        Shell(std::string(command) + "sum -b " + dir_ + "/abc >>" + list);
        Shell(std::string(command) + "sum " + dir_ + "/big | sed 's/^[0-9a-f]*/\\U&/' >>" + list);
        const CliRun ok = RunCli(std::string(command) + " -c " + list);
        EXPECT_EQ(ok.status, 0) << ok.err;
        EXPECT_EQ(ok.out, Shell(std::string(command) + "sum -c " + list));
        EXPECT_NE(ok.out.find(dir_ + "/abc: OK\n" + dir_ + "/big: OK\n"), std::string::npos);
        EXPECT_EQ(ok.err, "");
    }

    // A changed file and a missing one: both FAILED, exit 1, the others still OK.
    const std::string list = dir_ + "/changed.list";
    Shell("sha256sum" + files() + " >" + list);
    WriteFile(dir_ + "/abc", "abd");
    std::remove((dir_ + "/empty").c_str());
    const CliRun failed = RunCli("sha256 --check " + list);
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.out.find(dir_ + "/empty: FAILED open or read\n"), std::string::npos);
    EXPECT_NE(failed.out.find(dir_ + "/abc: FAILED\n"), std::string::npos);
    EXPECT_NE(failed.out.find(dir_ + "/big: OK\n"), std::string::npos);
    EXPECT_NE(failed.err.find("1 computed checksum did NOT match"), std::string::npos);
    EXPECT_NE(failed.err.find("1 listed file could not be read"), std::string::npos);
}

TEST_F(HashFiles, CheckReadsItsOwnOutputForEveryAlgorithm) {
    for (const char* command : {"md5", "sha1", "sha512", "crc16", "crc-ccitt", "crc32"}) {
        SCOPED_TRACE(command);
        const CliRun written = RunCli(std::string(command) + files());
        ASSERT_EQ(written.status, 0);
        const CliRun checked = RunCli(std::string(command) + " -c -", written.out);
        EXPECT_EQ(checked.status, 0) << checked.err;
        EXPECT_NE(checked.out.find(dir_ + "/big: OK\n"), std::string::npos);
    }
}

// sum: for each file, each algorithm's line as its own command writes it, in
// the order asked for, from one reading of the file.
TEST_F(HashFiles, SumWritesEachDigestCommandsLinesInOnePass) {
    const std::vector<std::string> all = {"md5",    "sha1",  "sha224",    "sha256", "sha384",
                                          "sha512", "crc16", "crc-ccitt", "crc32"};
    for (const std::string tag : {"", " --tag"}) {
        // Each command's lines, one per file (names that need it are escaped).
        std::map<std::string, std::vector<std::string>> linesOf;
        for (const std::string& command : all) {
            std::istringstream out(RunCli(command + tag + files()).out);
            for (std::string line; std::getline(out, line);)
                linesOf[command].push_back(line + "\n");
            ASSERT_EQ(linesOf[command].size(), 6u);
        }
        for (const std::vector<std::string>& commands :
             {std::vector<std::string>{"md5", "sha256", "crc32"}, {"crc-ccitt", "sha512", "md5", "sha1"}, all}) {
            std::string list, expected;
            for (const std::string& command : commands)
                list += (list.empty() ? "" : ",") + command;
            SCOPED_TRACE(list + tag);
            for (std::size_t file = 0; file < 6; ++file)
                for (const std::string& command : commands)
                    expected += linesOf[command][file];
            const CliRun run = RunCli("sum -a " + (commands == all ? std::string("all") : list) + tag + files());
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, expected);
        }
    }
    // The plain lines are coreutils' own; standard input is "-".
    EXPECT_EQ(RunCli("sum -a sha256" + files()).out, Shell("sha256sum" + files()));
    const std::string big = RandomBytes((2 << 20) + 7, 4);
    EXPECT_EQ(RunCli("sum --algorithms=md5,sha1", big).out, RunCli("md5", big).out + RunCli("sha1", big).out);

    // Errors: a name that is no algorithm, no -a; a missing file or a folder is
    // reported and the others still digested.
    for (const char* arguments : {"sum -a md5,sha3", "sum -a md5,", "sum", "sum -a", "sum --tag=1 -a md5"}) {
        SCOPED_TRACE(arguments);
        const CliRun run = RunCli(arguments, "abc");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Try 'quillhorn-cli sum --help'"), std::string::npos);
    }
    const CliRun missing = RunCli("sum -a crc32 " + dir_ + "/missing " + dir_ + "/sub " + dir_ + "/abc");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "352441c2  " + dir_ + "/abc\n");
    EXPECT_NE(missing.err.find("sub: Is a directory"), std::string::npos);
}

// Runs `arguments` through quillhorn-cli COMMAND and through COMMANDsum in
// the folder, with SUMS holding `list` and standard input too; the outputs,
// messages (under the program's own name) and exit statuses must be the same.
void ExpectSameAsCoreutils(const std::string& dir, const std::string& command, const std::string& list,
                           const std::string& arguments) {
    WriteFile(dir + "/SUMS", list);
    const std::string in = "cd " + dir + " && ";
    const CliRun ours = RunShell(in + QH_CLI_PATH + " " + command + " " + arguments, list);
    CliRun theirs = RunShell(in + command + "sum " + arguments, list);
    const std::string tool = command + "sum: ";
    for (std::size_t at = 0; (at = theirs.err.find(tool, at)) != std::string::npos;)
        theirs.err.replace(at, tool.size(), "quillhorn-cli: ");
    EXPECT_EQ(ours.out, theirs.out);
    EXPECT_EQ(ours.err, theirs.err);
    EXPECT_EQ(ours.status, theirs.status);
}

// Each case is a sum list and the arguments to check it with; {D} stands for
// the digest of the file abc, {U} for it in upper case, {T} for the tag.
TEST_F(HashFiles, CheckMatchesCoreutilsCaseByCase) {
    struct Case {
        const char* list;
        const char* arguments;
    };
    const Case cases[] = {
        // The forms: plain, binary marker, tagged with and without blanks, mixed, letter case, CR LF.
        {"{D}  abc\n{D} *abc\n{T} (abc) = {D}\n{T}(abc)= {D}\n{T} (abc)={U}\n{U}  abc\r\n", "-c SUMS"},
        // Empty lines and comments are skipped; a wrong-length digest, a missing name, junk are not proper.
        {"\n# comment\n{D}0  abc\n{D}\n{D} \nabc  abc\n{D}  abc\n\n", "-c SUMS"},
        {"junk\n{D}  abc\n{T} (abc) = {D} x\n", "-c --warn SUMS"},
        {"junk\n{D}  abc\n", "-c --strict SUMS"},
        {"junk\n{D}  abc\n", "--check --strict --quiet SUMS"},
        {"junk\n\n", "-c SUMS"},
        {"", "-c SUMS"},
        // Mismatches, missing files and folders; the totals in the warnings.
        {"{D}  empty\n{D}  empty\n{D}  missing\n{D}  sub\n{D}  abc\n", "-c SUMS"},
        {"{D}  empty\n{D}  missing\n{D}  abc\n", "-c --quiet SUMS"},
        {"{D}  empty\n{D}  missing\njunk\n", "-c --status SUMS"},
        {"{D}  missing\n{D}  abc\n", "-c --ignore-missing SUMS"},
        {"{D}  missing\njunk\n", "-c --ignore-missing SUMS"},
        {"{D}  abc\n", "-c --warn --status SUMS"},
        {"junk\n", "-c --status --warn SUMS"},
        // Names: blanks, escapes (backslash, line feed), a bad escape, an empty name, "*" and " " as names.
        {"{D}  with blank\n\\{D}  back\\\\slash\n\\{D}  line\\nfeed\n\\{D}  bad\\q\n{T} () = {D}\n{D}  \n{D} *\n",
         "-cw SUMS"},
        {"\\{T} (back\\\\slash) = {D}\n{T} (with blank) = {D}\n{T} (a (b)) = {D}\n", "-c SUMS"},
        // One blank between digest and name: BSD's reversed form, which then holds for the lists after it.
        {"{D} abc\n{D}  abc\n", "-c SUMS SUMS"},
        {"{D}  abc\n{D} abc\n", "-c SUMS"},
        // Standard input as the list, by default and as -; "-" in it is improper; the list naming itself.
        {"{D}  abc\n{D}  -\n", "-c"},
        {"{D}  abc\n", "-c - -"},
        {"{D}  SUMS\n{D}  abc\n", "-c SUMS"},
        // A list that cannot be opened, between two that can.
        {"{D}  abc\n", "-c SUMS no-such-list SUMS"},
        // Writing: plain, --tag, -b, -z, names to escape.
        {"", "abc 'with blank' 'back\\slash' $'line\\nfeed' -"},
        {"", "--tag abc 'back\\slash' $'line\\nfeed'"},
        {"", "-bz abc $'line\\nfeed' | od -c"},
    };
    for (const char* command : kDigestCommands) {
        const std::string digest =
            Shell(std::string(command) + "sum " + dir_ + "/abc").substr(0, 2 * DigestBytes(command));
        std::string upper = digest;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::string tag = command;
        for (char& c : tag)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        // The algorithms differ in digest length and tag only: every case for two of
        // them, the forms for the rest.
        const bool everyCase = std::string(command) == "md5" || std::string(command) == "sha256";
        for (const Case& c : everyCase ? std::span(cases) : std::span(cases).first(3)) {
            SCOPED_TRACE(std::string(command) + " " + c.arguments + " on: " + c.list);
            std::string list = c.list;
            for (const auto& [mark, text] : {std::pair{"{D}", digest}, {"{U}", upper}, {"{T}", tag}})
                for (std::size_t at = 0; (at = list.find(mark, at)) != std::string::npos;)
                    list.replace(at, 3, text);
            ExpectSameAsCoreutils(dir_, command, list, c.arguments);
        }
    }
}

// Where the contract asks more than coreutils 9.1 gives: OpenSSL 3's names of
// the SHA-2 digests, the check values' tags, and a folder given as a list.
TEST_F(HashFiles, CheckReadsOpenSslNamesAndCheckValueTags) {
    const std::string in = "cd " + dir_ + " && ";
    const std::string cli = in + QH_CLI_PATH + " ";
    for (const char* command : {"md5", "sha1", "sha224", "sha256", "sha384", "sha512"}) {
        SCOPED_TRACE(command);
        const std::string algorithm = std::string(command) == "md5" ? "md5" : command;
        WriteFile(dir_ + "/SUMS", Shell(in + "openssl dgst -" + algorithm + " abc empty"));
        const CliRun run = RunShell(cli + command + " -c SUMS");
        EXPECT_EQ(run.out, "abc: OK\nempty: OK\n");
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.status, 0);
    }
    for (const char* command : {"crc16", "crc-ccitt", "crc32"}) {
        SCOPED_TRACE(command);
        const CliRun tagged = RunShell(cli + command + " --tag abc $'line\\nfeed'");
        ASSERT_EQ(tagged.status, 0);
        const CliRun checked = RunShell(cli + command + " -c", tagged.out);
        EXPECT_EQ(checked.out, "abc: OK\n\\line\\nfeed: OK\n");
        EXPECT_EQ(checked.status, 0);
    }
    EXPECT_EQ(RunShell(cli + "crc32 --tag -s 123456789").out, "CRC32 (\"123456789\") = cbf43926\n");
    EXPECT_EQ(RunShell(cli + "crc-ccitt --tag -s 123456789").out, "CRC-CCITT (\"123456789\") = 29b1\n");
    const CliRun folder = RunShell(cli + "md5 -c sub");
    EXPECT_EQ(folder.err, "quillhorn-cli: sub: Is a directory\n");
    EXPECT_EQ(folder.status, 1);
}

TEST(CliHash, TextAndHexadecimalInputs) {
    const std::string abcMd5 = "900150983cd24fb0d6963f7d28e17f72";
    EXPECT_EQ(RunCli("md5 -s abc").out, abcMd5 + "  \"abc\"\n");
    EXPECT_EQ(RunCli("md5 -s ''").out, "d41d8cd98f00b204e9800998ecf8427e  \"\"\n");
    // The MD5 tool's hash values: pairs of digits, blanks and tabs between pairs.
    for (const char* text : {"'61 62 63'", "616263", "'61\t62 63'", "' 6162  63 '"}) {
        SCOPED_TRACE(text);
        const CliRun run = RunCli(std::string("md5 -x ") + text);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.substr(0, 34), abcMd5 + "  ");
    }
    EXPECT_EQ(RunCli("md5 -x 00").out, "93b885adfe0da089cdf634904fd59f71  \"00\"\n");
    for (const char* text : {"ADE", "0x12", "'A D'", "'61,62'"}) {
        SCOPED_TRACE(text);
        const CliRun run = RunCli(std::string("md5 -x ") + text);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "quillhorn-cli: 散列值必须由十六进制数组成,用空格分隔.\n");
    }

    // The SHA and CRC tools' byte strings: three-character cells.
    const std::string abcSha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
    EXPECT_EQ(RunCli("sha1 -x '61 62 63'").out, abcSha1 + "  \"61 62 63\"\n");
    EXPECT_EQ(RunCli("sha1 -x 'ad 3e b2 '").out.substr(0, 40), RunCli("sha1 -x 'AD 3E B2'").out.substr(0, 40));
    EXPECT_EQ(RunCli("sha1 -x AD3EB2").out.substr(0, 40), RunCli("sha1 -x 'AD EB'").out.substr(0, 40));
    EXPECT_EQ(RunCli("crc32 -x '31 32 33 34 35 36 37 38 39'").out.substr(0, 8), "cbf43926");
    for (const char* command : {"sha256 -x 0xAD", "crc16 -x 'AD,3E'", "sha512 -x 'AD 3G'"}) {
        SCOPED_TRACE(command);
        const CliRun run = RunCli(command);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "quillhorn-cli: 字节串格式错误!\n");
    }

    // Several inputs, in the order given.
    EXPECT_EQ(RunCli("sha1 -s abc -", "abc").out, abcSha1 + "  \"abc\"\n" + abcSha1 + "  -\n");
}

TEST(CliHash, OutputFormats) {
    EXPECT_EQ(RunCli("md5 --upper -s abc").out, "900150983CD24FB0D6963F7D28E17F72  \"abc\"\n");
    EXPECT_EQ(RunCli("md5 --short -s abc").out, "3cd24fb0d6963f7d  \"abc\"\n");
    EXPECT_EQ(RunCli("sha1 --spaced --upper -s abc").out,
              "A9 99 3E 36 47 06 81 6A BA 3E 25 71 78 50 C2 6C 9C D0 D8 9D  \"abc\"\n");

    // The catalogue check values of "123456789", in the three forms.
    struct Case {
        const char* command;
        const char* hex;
        const char* dec;
        const char* bin;
    };
    for (const Case& c : {Case{"crc16", "bb3d", "47933", "1011 1011 0011 1101"},
                          Case{"crc-ccitt", "29b1", "10673", "0010 1001 1011 0001"},
                          Case{"crc32", "cbf43926", "3421780262", "1100 1011 1111 0100 0011 1001 0010 0110"}}) {
        SCOPED_TRACE(c.command);
        const std::string command = c.command;
        EXPECT_EQ(RunCli(command, "123456789").out, std::string(c.hex) + "  -\n");
        EXPECT_EQ(RunCli(command + " --format hex -s 123456789").out, std::string(c.hex) + "  \"123456789\"\n");
        EXPECT_EQ(RunCli(command + " --format=dec", "123456789").out, std::string(c.dec) + "  -\n");
        EXPECT_EQ(RunCli(command + " --format bin", "123456789").out, std::string(c.bin) + "  -\n");
    }
    EXPECT_EQ(RunCli("crc32 --upper", "123456789").out, "CBF43926  -\n");
    // Leading zeros stay in hexadecimal and base 2 (the CRC-16 of one zero byte is 0).
    const CliRun zeros = RunCli("crc16 -x '00'");
    ASSERT_EQ(zeros.status, 0);
    EXPECT_EQ(zeros.out, "0000  \"00\"\n");
    EXPECT_EQ(RunCli("crc16 --format bin -x 00").out, "0000 0000 0000 0000  \"00\"\n");
}

TEST(CliHash, UsageAndInputErrors) {
    for (const char* command : {"sha1 --short", "md5 --spaced", "md5 --format hex", "crc32 --format oct",
                                "crc32 --format", "sha256 -s", "sha256 -x", "sha256 --bogus", "md5 --upper=1"}) {
        SCOPED_TRACE(command);
        const CliRun run = RunCli(command, "abc");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("quillhorn-cli: ", 0), 0u);
    }
    for (const char* command : kDigestCommands)
        EXPECT_EQ(RunCli(std::string(command) + " --help").status, 0);
    EXPECT_EQ(RunCli("crc-ccitt --help").status, 0);

    // A missing file or a folder: a message, exit 2, and the other inputs still digested.
    const std::string dir = MakeTempDir();
    WriteFile(dir + "/abc", "abc");
    const CliRun run = RunCli("md5 " + dir + "/missing " + dir + " " + dir + "/abc");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "900150983cd24fb0d6963f7d28e17f72  " + dir + "/abc\n");
    EXPECT_NE(run.err.find(dir + "/missing"), std::string::npos);
    // After --, a name that starts with a minus is a file.
    const CliRun dashed = RunCli("md5 -- --upper");
    EXPECT_EQ(dashed.status, 2);
    EXPECT_NE(dashed.err.find("--upper: No such file"), std::string::npos);
}

} // namespace
} // namespace qh::test
