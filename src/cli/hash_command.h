// quillhorn-cli md5|sha1|sha224|sha256|sha384|sha512|crc16|crc-ccitt|crc32:
// digests and check values of files, standard input, texts and hexadecimal
// bytes, one "DIGEST  NAME" line per input as sha256sum writes them, and the
// checking of such lines (--check).
#ifndef QUILLHORN_HASH_COMMAND_H
#define QUILLHORN_HASH_COMMAND_H

#include "cli_support.h"

#include <string_view>

namespace qh::cli {

// True for the names of the digest and check-value commands.
bool IsHashCommand(std::string_view command);

// Runs one of them; `args` are the arguments after the command's name.
int RunHash(std::string_view command, const Arguments& args);

// One line per command for the program's overall help.
extern const char* const kHashCommandsHelp;

} // namespace qh::cli

#endif
