// quillhorn-cli: the toolbox's engines for scripts and terminals.
#include "cli_support.h"
#include "codes_command.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kHelp = "Usage: quillhorn-cli COMMAND [OPTIONS] [ARGS]\n"
                              "Commands:\n"
                              "  codes encode   text to numeric character codes\n"
                              "  codes decode   numeric character codes back to text\n"
                              "Run 'quillhorn-cli COMMAND --help' for a command's options.\n";

} // namespace

int main(int argc, char** argv) {
    using namespace qh::cli;
    if (argc < 2) {
        std::fputs(kHelp, stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    const Arguments args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h") {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::puts("quillhorn-cli 2.1");
        return kExitOk;
    }
    if (command == "codes")
        return RunCodes(args);
    PrintError("unknown command '" + command + "'");
    std::fputs(kHelp, stderr);
    return kExitUsage;
}
