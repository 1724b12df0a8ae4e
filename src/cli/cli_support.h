// What every quillhorn-cli command shares: reading the arguments, reading
// inputs in chunks, the rules for OUTPUT names, writing outputs, the scratch
// folder, reporting errors, the exit statuses, and the clean-up after an
// interrupting signal.
#ifndef QUILLHORN_CLI_SUPPORT_H
#define QUILLHORN_CLI_SUPPORT_H

#include "output_file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
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

// A file name as messages show it: as it is when it is plain, else quoted for
// the shell ('with blank', "it's", 'line'$'\n''feed'), as coreutils does.
std::string QuoteName(std::string_view name);

// "NAME: REASON" with the name quoted as above, for PrintError.
std::string NameError(std::string_view name, int error);

// The arguments of one command after its name.
using Arguments = std::vector<std::string>;

// Walks a command's arguments: options ("-k", "--key", "--key=VALUE"), "--"
// ending the options, and operands ("-" and "" included).
class ArgumentReader {
public:
    explicit ArgumentReader(const Arguments& args, std::size_t first = 0) : args_(args), next_(first) {}

    // Moves to the next argument; false when none is left.
    bool Next();
    bool IsOperand() const { return operand_; }
    // The operand, or the option's name without "=VALUE".
    const std::string& Current() const { return current_; }
    // True for an option written "--name=VALUE".
    bool HasInlineValue() const { return inline_.has_value(); }
    // The option's value: its "=VALUE", else the next argument. False when there is none.
    bool TakeValue(std::string& into);

private:
    const Arguments& args_;
    std::size_t next_;
    bool endOfOptions_ = false;
    bool operand_ = false;
    std::string current_;
    std::optional<std::string> inline_;
};

// An input: a named file, or standard input for "" and "-". A folder is
// refused with "NAME: Is a directory"; every failure is reported.
class InputFile {
public:
    explicit InputFile(const std::string& name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    bool isStandardInput() const { return standard_; }
    // A regular file, which an engine may open again by its name.
    bool isRegular() const { return regular_; }
    const std::string& displayName() const { return display_; }
    // Reads the next chunk into `buffer`; an empty chunk at the end. False
    // after a message on a read error.
    bool read(std::string& buffer);
    // Reads at most `length` bytes into `to`: the count, 0 at the end, -1
    // after a message on a read error.
    long long read(std::uint8_t* to, std::size_t length);

private:
    int fd_ = -1;
    bool standard_ = false;
    bool regular_ = false;
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

// Where an OUTPUT argument sends the bytes.
struct OutputTarget {
    bool toStdout = true;
    std::string path; // a named file, when not standard output
};

// The rule of every OUTPUT: "-", and a path naming the file open as standard
// output (/dev/stdout, /dev/fd/1), are standard output; a path that exists as
// anything but a regular file (a folder, a device, a FIFO) is refused, after a
// message, and left as it is; anything else is a file, links followed.
std::optional<OutputTarget> ResolveOutput(const std::string& name);

// False, after a message, when the input (a name as InputFile takes it) and
// the output are one file, through links, other spellings or a redirection of
// standard input or output: writing would destroy the input, or feed on
// itself. Standard output counts only when it is a regular file.
bool DistinctFiles(const std::string& inputName, const OutputTarget& output);

// Where a command writes: standard output, or a named file that is replaced
// only by finish(). Every failure is reported with its reason.
class OutputSink {
public:
    explicit OutputSink(OutputTarget target) : target_(std::move(target)) {}

    bool open();
    bool write(std::string_view bytes);
    bool finish();

private:
    OutputTarget target_;
    qh::OutputFile file_;
};

// A private folder in $TMPDIR for copies of inputs and outputs that an engine
// must have as regular files. Removed with its contents when it goes, and by
// the clean-up after an interrupting signal.
class ScratchFolder {
public:
    ScratchFolder() = default;
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The path of `name` inside the folder, created on first use; empty after a message.
    std::string file(const std::string& name);

private:
    std::string path_;
};

// Copies what is left of `input` into a new file `path`; false after a message.
bool Spool(InputFile& input, const std::string& path);
// The path of a regular file holding `input`: its own name when it is one,
// otherwise (standard input, a pipe, a device) a copy spooled into `scratch`.
// Empty after a message.
std::string RegularFileOf(InputFile& input, const std::string& name, ScratchFolder& scratch);
// Copies the file `path` into `sink` and finishes it; false after a message.
bool CopyToOutput(const std::string& path, OutputSink& sink);

// From here on SIGINT, SIGTERM and SIGHUP (those not ignored) remove every
// registered temporary file and scratch folder, then end the process as the
// signal would have. Call first in main, before any thread starts.
void RemoveTemporariesOnInterrupt();

} // namespace qh::cli

#endif
