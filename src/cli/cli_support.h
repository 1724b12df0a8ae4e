// What every quillhorn-cli command shares: reading inputs in chunks, writing
// outputs, reporting errors, and the exit statuses.
#ifndef QUILLHORN_CLI_SUPPORT_H
#define QUILLHORN_CLI_SUPPORT_H

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qh::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // the operation failed or a check did not match
inline constexpr int kExitUsage = 2;  // usage error, unreadable input or unwritable output

// Prints "quillhorn-cli: MESSAGE" on standard error.
void PrintError(std::string_view message);

// A usage error: prints the message and a hint, returns kExitUsage.
int UsageError(std::string_view command, std::string_view message);

// An input: a named file, or standard input for "" and "-".
class InputFile {
public:
    explicit InputFile(const std::string& name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool ok() const { return file_ != nullptr; }
    const std::string& displayName() const { return display_; }
    // Reads the next chunk into `buffer`; an empty chunk at the end. False on a
    // read error.
    bool read(std::string& buffer);

private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
    std::string display_;
};

// Writes bytes to standard output; false on a write error.
//
// A failed write of standard output is reported as "write error: REASON",
// once per run: by WriteStdout or FlushStdout where it happens, else by
// CloseStdout at the end of main, as coreutils' close_stdout does.
bool WriteStdout(std::string_view bytes);
// Flushes standard output; false on a write error.
bool FlushStdout();
// Flushes and closes standard output when the command is done. Returns
// `status`, or kExitUsage when standard output failed at any point.
int CloseStdout(int status);

// True for a name that stands for standard input ("" or "-") or for a path
// that names the file open as standard input (/dev/stdin, /proc/self/fd/0, or
// the file it was redirected from); the same for standard output.
bool NamesStandardInput(const std::string& name);
bool NamesStandardOutput(const std::string& name);

// The arguments of one command after its name.
using Arguments = std::vector<std::string>;

} // namespace qh::cli

#endif
