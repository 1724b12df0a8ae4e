// quillhorn-cli rsa: key generation as the key workbench does it, and the RSA
// component's file format and integer operations, for scripts.
#ifndef QUILLHORN_RSA_COMMAND_H
#define QUILLHORN_RSA_COMMAND_H

#include "cli_support.h"

namespace qh::cli {

// `args` are the arguments after "rsa".
int RunRsa(const Arguments& args);

// One line per subcommand for the program's overall help.
extern const char* const kRsaCommandsHelp;

} // namespace qh::cli

#endif
