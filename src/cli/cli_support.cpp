#include "cli_support.h"

#include "temporary_files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

bool isStream(const std::string& name) {
    return name.empty() || name == "-";
}

// The file open as `fd`, or named by `path`; false when there is none.
bool statFd(int fd, struct stat& info) {
    return ::fstat(fd, &info) == 0;
}
bool statPath(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}
bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True for "" and "-", and for a path whose file is the one open as `fd`.
bool namesStream(const std::string& name, int fd) {
    if (isStream(name))
        return true;
    struct stat path {};
    struct stat open {};
    return statPath(name, path) && statFd(fd, open) && sameFile(path, open);
}

// The length of the valid UTF-8 character at the start of `text`, 0 when
// the bytes there are not one.
std::size_t utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0) || (lead == 0xF0 && byte(1) < 0x90) ||
        (lead == 0xF4 && byte(1) >= 0x90))
        return 0;
    return length;
}

// The escape of a byte inside $'...': a letter where the shell has one, else octal.
std::string byteEscape(unsigned char c) {
    switch (c) {
    case '\a':
        return "\\a";
    case '\b':
        return "\\b";
    case '\f':
        return "\\f";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    case '\v':
        return "\\v";
    default: {
        char octal[5];
        std::snprintf(octal, sizeof octal, "\\%03o", c);
        return octal;
    }
    }
}

} // namespace

void PrintError(std::string_view message) {
    std::fprintf(stderr, "quillhorn-cli: %.*s\n", static_cast<int>(message.size()), message.data());
}

int UsageError(std::string_view command, std::string_view message) {
    PrintError(message);
    std::fprintf(stderr, "Try 'quillhorn-cli %.*s --help'.\n", static_cast<int>(command.size()), command.data());
    return kExitUsage;
}

std::string QuoteName(std::string_view name) {
    if (name.empty())
        return "''";
    // Bytes that are no character (control bytes, broken UTF-8) need $'...';
    // shell syntax, blanks and the colon of "NAME: REASON" need quotes.
    bool quote = false;
    bool escapes = false;
    bool singleQuote = false;
    bool unsafeInDouble = false;
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            const std::size_t length = utf8Length(name.substr(i));
            escapes = escapes || length == 0;
            i += length == 0 ? 1 : length;
            continue;
        }
        if (c < 0x20 || c == 0x7F)
            escapes = true;
        else if (c == '\'')
            singleQuote = true;
        else if (std::strchr(" !\"$&()*;<=>?[\\^`|:", c) != nullptr || ((c == '#' || c == '~') && i == 0))
            quote = true;
        unsafeInDouble = unsafeInDouble || std::strchr("$`\"\\!", c) != nullptr;
        ++i;
    }
    if (!quote && !escapes && !singleQuote)
        return std::string(name);
    if (singleQuote && !escapes && !unsafeInDouble)
        return "\"" + std::string(name) + "\"";

    // Single quotes, with a quote as \' and other bytes in $'...' between them.
    enum class State { Quoted, Escaped, Bare } state = State::Quoted;
    std::string text = "'";
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        std::size_t length = 1;
        bool plain = c >= 0x20 && c != 0x7F && c != '\'';
        if (c >= 0x80) {
            length = utf8Length(name.substr(i));
            plain = length != 0;
            length = length == 0 ? 1 : length;
        }
        if (c == '\'') {
            if (state != State::Bare)
                text += '\'';
            text += "\\'";
            state = State::Bare;
        } else if (!plain) {
            if (state == State::Quoted)
                text += "'";
            if (state != State::Escaped)
                text += "$'";
            text += byteEscape(c);
            state = State::Escaped;
        } else {
            if (state == State::Escaped)
                text += "'";
            if (state != State::Quoted)
                text += "'";
            text.append(name.substr(i, length));
            state = State::Quoted;
        }
        i += length;
    }
    if (state != State::Bare)
        text += '\'';
    return text;
}

std::string NameError(std::string_view name, int error) {
    return QuoteName(name) + ": " + std::strerror(error);
}

bool ArgumentReader::Next() {
    inline_.reset();
    while (next_ < args_.size()) {
        current_ = args_[next_++];
        operand_ = endOfOptions_ || current_.size() < 2 || current_[0] != '-';
        if (!operand_ && current_ == "--") {
            endOfOptions_ = true;
            continue;
        }
        if (!operand_ && current_.rfind("--", 0) == 0) {
            if (const std::size_t equals = current_.find('='); equals != std::string::npos) {
                inline_ = current_.substr(equals + 1);
                current_.resize(equals);
            }
        }
        return true;
    }
    return false;
}

bool ArgumentReader::TakeValue(std::string& into) {
    if (inline_) {
        into = *inline_;
        return true;
    }
    if (next_ >= args_.size())
        return false;
    into = args_[next_++];
    return true;
}

InputFile::InputFile(const std::string& name) {
    standard_ = isStream(name);
    if (standard_) {
        display_.assign(1, '-'); // not = "-": GCC 12 warns wrongly on that (-Wrestrict)
        fd_ = 0;
    } else {
        display_ = name;
        fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) {
            PrintError(NameError(name, errno));
            return;
        }
    }
    struct stat info {};
    if (statFd(fd_, info) && S_ISDIR(info.st_mode)) {
        PrintError(NameError(display_, EISDIR));
        if (!standard_)
            ::close(fd_);
        fd_ = -1;
        return;
    }
    regular_ = S_ISREG(info.st_mode);
}

InputFile::~InputFile() {
    if (fd_ > 0 && !standard_)
        ::close(fd_);
}

bool InputFile::read(std::string& buffer) {
    buffer.resize(kChunk);
    for (;;) {
        const ssize_t got = ::read(fd_, buffer.data(), kChunk);
        if (got >= 0) {
            buffer.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != EINTR) {
            buffer.clear();
            PrintError(NameError(display_, errno));
            return false;
        }
    }
}

long long InputFile::read(std::uint8_t* to, std::size_t length) {
    for (;;) {
        const ssize_t got = ::read(fd_, to, length);
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            PrintError(NameError(display_, errno));
            return -1;
        }
    }
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

bool NamesStandardInput(const std::string& name) {
    return namesStream(name, 0);
}

bool NamesStandardOutput(const std::string& name) {
    return namesStream(name, 1);
}

std::optional<OutputTarget> ResolveOutput(const std::string& name) {
    if (name.empty()) {
        PrintError(NameError(name, ENOENT));
        return std::nullopt;
    }
    if (NamesStandardOutput(name))
        return OutputTarget{};
    struct stat info {};
    if (statPath(name, info) && !S_ISREG(info.st_mode)) {
        PrintError(S_ISDIR(info.st_mode) ? NameError(name, EISDIR)
                                         : QuoteName(name) + ": not a regular file; left as it is");
        return std::nullopt;
    }
    return OutputTarget{false, name};
}

bool DistinctFiles(const std::string& inputName, const OutputTarget& output) {
    struct stat in {};
    struct stat out {};
    const bool inputKnown = isStream(inputName) ? statFd(0, in) : statPath(inputName, in);
    const bool outputKnown = output.toStdout ? statFd(1, out) : statPath(output.path, out);
    if (!inputKnown || !outputKnown || !S_ISREG(out.st_mode) || !sameFile(in, out))
        return true;
    const std::string inputText = isStream(inputName) ? "standard input" : QuoteName(inputName);
    const std::string outputText = output.toStdout ? "standard output" : QuoteName(output.path);
    PrintError(inputText + " and " + outputText + " are the same file; nothing written");
    return false;
}

bool OutputSink::open() {
    if (target_.toStdout || file_.Open(target_.path))
        return true;
    PrintError(QuoteName(target_.path) + ": cannot create: " + std::strerror(file_.Error()));
    return false;
}

bool OutputSink::write(std::string_view bytes) {
    if (target_.toStdout)
        return WriteStdout(bytes);
    if (bytes.empty() || file_.Write(bytes.data(), bytes.size()))
        return true;
    PrintError(QuoteName(target_.path) + ": write error: " + std::strerror(file_.Error()));
    return false;
}

bool OutputSink::finish() {
    if (target_.toStdout)
        return FlushStdout();
    if (file_.Commit())
        return true;
    PrintError(QuoteName(target_.path) + ": write error: " + std::strerror(file_.Error()));
    return false;
}

ScratchFolder::~ScratchFolder() {
    if (path_.empty())
        return;
    const TemporaryFilesLock lock;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    ForgetTemporary(path_);
}

std::string ScratchFolder::file(const std::string& name) {
    if (path_.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillhorn-XXXXXX";
        const TemporaryFilesLock lock; // made and registered in one step
        if (::mkdtemp(pattern.data()) == nullptr) {
            PrintError("cannot create a temporary folder in " + QuoteName(pattern.substr(0, pattern.rfind('/'))) +
                       ": " + std::strerror(errno));
            return {};
        }
        RegisterTemporaryFolder(pattern);
        path_ = pattern;
    }
    return path_ + "/" + name;
}

std::string RegularFileOf(InputFile& input, const std::string& name, ScratchFolder& scratch) {
    if (!input.isStandardInput() && input.isRegular())
        return name;
    std::string copy = scratch.file("input");
    if (copy.empty() || !Spool(input, copy))
        return {};
    return copy;
}

bool Spool(InputFile& input, const std::string& path) {
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        PrintError(NameError(path, errno));
        return false;
    }
    std::string chunk;
    bool ok = true;
    while (ok && (ok = input.read(chunk)) && !chunk.empty()) {
        for (std::size_t done = 0; ok && done < chunk.size();) {
            const ssize_t written = ::write(out, chunk.data() + done, chunk.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                PrintError(QuoteName(path) + ": write error: " + std::strerror(written < 0 ? errno : EIO));
                ok = false;
                break;
            }
            done += static_cast<std::size_t>(written);
        }
    }
    if (::close(out) != 0 && ok) {
        PrintError(QuoteName(path) + ": write error: " + std::strerror(errno));
        ok = false;
    }
    return ok;
}

bool CopyToOutput(const std::string& path, OutputSink& sink) {
    InputFile input(path);
    if (!input.ok() || !sink.open())
        return false;
    std::string chunk;
    for (;;) {
        if (!input.read(chunk))
            return false;
        if (chunk.empty())
            return sink.finish();
        if (!sink.write(chunk))
            return false;
    }
}

void RemoveTemporariesOnInterrupt() {
    // A signal the caller ignores (nohup, a background job) stays ignored.
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&signals, signal);
    }
    // Blocked in every thread, so only the waiting thread takes them; it may
    // do anything a thread can, which a signal handler may not.
    if (::pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0)
        return;
    std::thread([signals] {
        int signal = 0;
        while (::sigwait(&signals, &signal) != 0) {
        }
        RemoveTemporaryFiles();
        // End as the signal ends a process, so the caller sees the usual status.
        std::signal(signal, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
        ::raise(signal);
        std::_Exit(128 + signal);
    }).detach();
}

} // namespace qh::cli
