#include "cli_support.h"

#include <cerrno>
#include <cstring>
#include <stdio_ext.h>
#include <sys/stat.h>

namespace qh::cli {
namespace {
constexpr size_t kChunk = 1 << 20;

bool writeErrorReported = false;

// Reports a failed write of standard output, unless one was reported already.
void reportWriteError(int error) {
    if (writeErrorReported)
        return;
    writeErrorReported = true;
    PrintError(error != 0 ? std::string("write error: ") + std::strerror(error) : std::string("write error"));
}
// True for "" and "-", and for a path whose file is the one open as `fd`.
bool namesStream(const std::string& name, int fd) {
    if (name.empty() || name == "-")
        return true;
    struct stat path {};
    struct stat open {};
    return ::stat(name.c_str(), &path) == 0 && ::fstat(fd, &open) == 0 && path.st_dev == open.st_dev &&
           path.st_ino == open.st_ino;
}
} // namespace

bool NamesStandardInput(const std::string& name) {
    return namesStream(name, 0);
}

bool NamesStandardOutput(const std::string& name) {
    return namesStream(name, 1);
}

void PrintError(std::string_view message) {
    std::fprintf(stderr, "quillhorn-cli: %.*s\n", static_cast<int>(message.size()), message.data());
}

int UsageError(std::string_view command, std::string_view message) {
    PrintError(message);
    std::fprintf(stderr, "Try 'quillhorn-cli %.*s --help'.\n", static_cast<int>(command.size()), command.data());
    return kExitUsage;
}

InputFile::InputFile(const std::string& name) {
    if (name.empty() || name == "-") {
        file_ = stdin;
        display_.assign(1, '-'); // not = "-": GCC 12 warns wrongly on that (-Wrestrict)
        return;
    }
    display_ = name;
    file_ = std::fopen(name.c_str(), "rb");
    owned_ = file_ != nullptr;
    if (!file_) {
        std::string message = name;
        message.append(": ").append(std::strerror(errno));
        PrintError(message);
    }
}

InputFile::~InputFile() {
    if (owned_)
        std::fclose(file_);
}

bool InputFile::read(std::string& buffer) {
    buffer.resize(kChunk);
    const size_t got = std::fread(buffer.data(), 1, kChunk, file_);
    buffer.resize(got);
    if (got == 0 && std::ferror(file_)) {
        std::string message = display_;
        message.append(": read error");
        PrintError(message);
        return false;
    }
    return true;
}

bool WriteStdout(std::string_view bytes) {
    if (bytes.empty())
        return true;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
        reportWriteError(errno);
        return false;
    }
    return true;
}

bool FlushStdout() {
    if (std::fflush(stdout) != 0) {
        reportWriteError(errno);
        return false;
    }
    return true;
}

int CloseStdout(int status) {
    // As close_stdout: an earlier error, or a failed close with bytes still
    // pending. A standard output that was closed from the start (EBADF) and
    // never written to is no failure.
    const bool pending = __fpending(stdout) != 0;
    const bool failedBefore = std::ferror(stdout) != 0;
    errno = 0;
    const bool closeFailed = std::fclose(stdout) != 0;
    const int error = closeFailed ? errno : 0;
    if (!failedBefore && !(closeFailed && (pending || error != EBADF)))
        return status;
    reportWriteError(error);
    return kExitUsage;
}

} // namespace qh::cli
