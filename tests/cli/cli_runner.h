// Runs quillhorn-cli with a standard input and collects what it writes; the
// file and shell helpers the command tests share.
#ifndef QUILLHORN_CLI_RUNNER_H
#define QUILLHORN_CLI_RUNNER_H

#include <cstddef>
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
// The same with standard output sent to `output` (such as /dev/full); `out` stays empty.
CliRun RunCliWritingTo(const std::string& output, const std::string& arguments,
                       const std::string& input = std::string());

// Runs a bash command line with that standard input; collects its standard
// output, standard error and exit status (-1 when a signal ended it).
CliRun RunShell(const std::string& command, const std::string& input = std::string());

// A fresh empty folder for the test's files.
std::string MakeTempDir();

// What a shell command writes on standard output.
std::string Shell(const std::string& command);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// True when the path names anything, a dangling link included.
bool Exists(const std::string& path);
// `n` bytes of a fixed pseudo-random sequence per seed.
std::string RandomBytes(std::size_t n, unsigned seed);

} // namespace qh::test

#endif
