// Runs quillhorn-cli with a standard input and collects what it writes.
#ifndef QUILLHORN_CLI_RUNNER_H
#define QUILLHORN_CLI_RUNNER_H

#include <string>

namespace qh::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// `arguments` is appended to the program's path in a shell command line, so
// quote what needs quoting.
CliRun RunCli(const std::string& arguments, const std::string& input = std::string());

// A fresh empty folder for the test's files.
std::string MakeTempDir();

} // namespace qh::test

#endif
