#include "sum_command.h"

#include "digest_algorithm.h"
#include "multi_digest.h"
#include "sum_file.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace qh::cli {

const char* const kSumCommandHelp = "  sum            several digests of each file from one reading of it\n";

namespace {

constexpr const char* kCommand = "sum";

void printHelp() {
    std::fputs("Usage: quillhorn-cli sum -a ALGO[,ALGO...] [--tag] [FILE]...\n"
               "Reads each FILE (standard input when none is given, or for -) once and writes, for each\n"
               "ALGO in the order given, the line \"DIGEST  NAME\" that the command of that name writes.\n"
               "  -a, --algorithms LIST  md5, sha1, sha224, sha256, sha384, sha512, crc16, crc-ccitt,\n"
               "                         crc32, separated by commas; all: all nine\n"
               "  --tag                  write tagged lines \"ALGO (NAME) = DIGEST\", which name the algorithm\n"
               "Exit status: 0 done; 2 usage error or an unreadable FILE.\n",
               stdout);
}

// Adds the algorithms of one -a list; false after a message for a name that is none.
bool addAlgorithms(const std::string& list, std::vector<DigestAlgorithm>& algorithms) {
    if (list == "all") {
        algorithms.insert(algorithms.end(), kDigestAlgorithms.begin(), kDigestAlgorithms.end());
        return true;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        const std::string name = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::optional<DigestAlgorithm> algorithm = FindDigestAlgorithm(name);
        if (!algorithm) {
            UsageError(kCommand, "unknown algorithm '" + name + "'");
            return false;
        }
        algorithms.push_back(*algorithm);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

} // namespace

int RunSum(const Arguments& args) {
    std::vector<DigestAlgorithm> algorithms;
    std::vector<std::string> files;
    bool tagged = false;
    ArgumentReader reader(args);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        if (reader.IsOperand()) {
            files.push_back(arg);
            continue;
        }
        std::string value;
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return kExitOk;
        } else if (arg == "-a" || arg == "--algorithms") {
            if (!reader.TakeValue(value))
                return UsageError(kCommand, arg + " needs a list of algorithms");
            if (!addAlgorithms(value, algorithms))
                return kExitUsage;
        } else if (arg == "--tag" && !reader.HasInlineValue()) {
            tagged = true;
        } else {
            return UsageError(kCommand, "unknown option '" + arg + "'");
        }
    }
    if (algorithms.empty())
        return UsageError(kCommand, "-a ALGO[,ALGO...] is needed");
    if (files.empty())
        files.push_back("-");

    int status = kExitOk;
    for (const std::string& name : files) {
        if (name.empty()) { // InputFile would take it for standard input
            PrintError(NameError(name, ENOENT));
            status = kExitUsage;
            continue;
        }
        InputFile input(name);
        if (!input.ok()) {
            status = kExitUsage;
            continue;
        }
        const PassResult pass =
            DigestStream(algorithms, [&input](std::uint8_t* to, std::size_t length) { return input.read(to, length); });
        if (pass.status != PassStatus::Ok) {
            status = kExitUsage;
            continue;
        }
        std::string lines;
        for (std::size_t i = 0; i < algorithms.size(); ++i)
            lines += DigestLine(algorithms[i], ToHex(pass.digests[i]), input.displayName(), tagged);
        if (!WriteStdout(lines))
            return kExitUsage;
    }
    return FlushStdout() ? status : kExitUsage;
}

} // namespace qh::cli
