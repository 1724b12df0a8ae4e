// quillhorn-cli rsa: key generation as the key workbench does it, and the RSA
// component's file format and integer operations, for scripts.
#ifndef QUILLHORN_RSA_COMMAND_H
#define QUILLHORN_RSA_COMMAND_H

#include "cli_support.h"

#include <optional>
#include <string>
#include <string_view>

namespace qh::cli {

// `args` are the arguments after "rsa".
int RunRsa(const Arguments& args);

// The numbers of a key file, in hexadecimal without blanks.
struct RsaKey {
    std::string n, e, d;
};

// The key in a key file's text: n, e and d on three lines (LF or CR LF line
// ends, blanks ignored, blank lines after d allowed). Nothing when the text is
// no key file, with the reason in `error`.
std::optional<RsaKey> ParseRsaKey(std::string_view text, std::string& error);

// One line per subcommand for the program's overall help.
extern const char* const kRsaCommandsHelp;

} // namespace qh::cli

#endif
