// quillhorn-cli: the toolbox's engines for scripts and terminals.
#include "cipher_command.h"
#include "cli_support.h"
#include "codes_command.h"
#include "hash_command.h"
#include "rsa_command.h"
#include "sum_command.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kUsage = "Usage: quillhorn-cli COMMAND [OPTIONS] [ARGS]\n"
                               "Commands:\n";
constexpr const char* kCodesHelp = "  codes encode   text to numeric character codes\n"
                                   "  codes decode   numeric character codes back to text\n";
constexpr const char* kMore = "Run 'quillhorn-cli COMMAND --help' for a command's options.\n";

void printHelp(std::FILE* to) {
    std::fputs(kUsage, to);
    std::fputs(qh::cli::kHashCommandsHelp, to);
    std::fputs(qh::cli::kSumCommandHelp, to);
    std::fputs(kCodesHelp, to);
    std::fputs(qh::cli::kCipherCommandsHelp, to);
    std::fputs(qh::cli::kRsaCommandsHelp, to);
    std::fputs(kMore, to);
}

int run(int argc, char** argv) {
    using namespace qh::cli;
    if (argc < 2) {
        printHelp(stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    const Arguments args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h") {
        printHelp(stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::puts("quillhorn-cli 2.1");
        return kExitOk;
    }
    if (command == "codes")
        return RunCodes(args);
    if (command == "des")
        return RunDes(args);
    if (command == "base64")
        return RunBase64(args);
    if (command == "rsa")
        return RunRsa(args);
    if (command == "sum")
        return RunSum(args);
    if (IsHashCommand(command))
        return RunHash(command, args);
    PrintError("unknown command '" + command + "'");
    printHelp(stderr);
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    qh::cli::RemoveTemporariesOnInterrupt();
    // Whatever a command wrote must have reached standard output for the run to succeed.
    return qh::cli::CloseStdout(run(argc, argv));
}
