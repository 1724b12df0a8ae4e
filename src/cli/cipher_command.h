// quillhorn-cli des encrypt|decrypt and quillhorn-cli base64: the DES file
// layout and the Base64 codec of the GUI's cipher tools, for scripts.
#ifndef QUILLHORN_CIPHER_COMMAND_H
#define QUILLHORN_CIPHER_COMMAND_H

#include "cli_support.h"

namespace qh::cli {

// `args` are the arguments after the command's name.
int RunDes(const Arguments& args);
int RunBase64(const Arguments& args);

// One line per command for the program's overall help.
extern const char* const kCipherCommandsHelp;

} // namespace qh::cli

#endif
