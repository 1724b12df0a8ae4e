// quillhorn-cli codes encode|decode
#ifndef QUILLHORN_CODES_COMMAND_H
#define QUILLHORN_CODES_COMMAND_H

#include "cli_support.h"

namespace qh::cli {

int RunCodes(const Arguments& args);

} // namespace qh::cli

#endif
