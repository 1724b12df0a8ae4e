// quillhorn-cli sum -a ALGO[,ALGO...] [--tag] [FILE...]: several digests of
// each input from one reading of it, each line as the digest command for that
// algorithm writes it.
#ifndef QUILLHORN_SUM_COMMAND_H
#define QUILLHORN_SUM_COMMAND_H

#include "cli_support.h"

namespace qh::cli {

// `args` are the arguments after "sum".
int RunSum(const Arguments& args);

// Its line for the program's overall help.
extern const char* const kSumCommandHelp;

} // namespace qh::cli

#endif
