#include "output_file.h"

#include "temporary_files.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qh {
namespace {

// The folder part of a path ("." when it has none) and its last component.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path that writing to `path` would reach: an existing path through
// realpath, a dangling symbolic link by following it by hand to the name it
// would create. Empty when it cannot be resolved (a loop, an unreadable link).
std::string resolveTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        char resolved[PATH_MAX];
        if (::realpath(current.c_str(), resolved) != nullptr)
            return resolved;
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0)
            return errno == ENOENT ? current : std::string();
        if (!S_ISLNK(st.st_mode))
            return std::string();
        char link[PATH_MAX];
        const ssize_t size = ::readlink(current.c_str(), link, sizeof link - 1);
        if (size < 0)
            return std::string();
        const std::string target(link, static_cast<std::size_t>(size));
        current = !target.empty() && target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
    return std::string();
}

// The next number of a splitmix64 sequence: well mixed and cheap. A name only
// needs to be unlikely to collide; O_EXCL, not the numbers, makes it safe.
// (std::mt19937_64 would do as well, but its code would be exported from the
// RSA component, which must export its entry point alone.)
std::uint64_t nextRandom(std::uint64_t& state) {
    std::uint64_t z = state += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Creates a new, empty file in `folder` under a name no one else uses, made
// from the target's name. O_EXCL never opens an existing file or follows a
// planted link.
int createTemporary(const std::string& folder, const std::string& target, mode_t mode, std::string& temporary) {
    // The base name is shortened so that the temporary name stays within the
    // file system's name length even when the target's name is long.
    const std::string stem = folder + "/." + baseOf(target).substr(0, 200) + ".";
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::uint64_t state = static_cast<std::uint64_t>(::getpid()) << 32 ^
                          static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(8, '0');
        for (char& c : suffix)
            c = digits[nextRandom(state) % 36];
        temporary = stem + suffix + ".tmp";
        // Made and registered in one step, so an interruption finds it.
        const TemporaryFilesLock lock;
        // Readable too: the bytes of an output written in place are read back.
        const int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            RegisterTemporaryFile(temporary);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The folder for the bytes of an output written in place.
std::string stagingFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

bool writeAll(int fd, const char* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO; // no progress and no reason given
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::fail(int error) {
    error_ = error;
    discard();
    return false;
}

bool OutputFile::Open(const std::string& path) {
    discard();
    failed_ = false;
    inPlace_ = false;
    error_ = 0;
    written_ = 0;
    writebackFrom_ = 0;
    if (path.empty())
        return fail(ENOENT);
    errno = 0;
    target_ = resolveTarget(path);
    if (target_.empty())
        return fail(errno != 0 && errno != ENOENT ? errno : ELOOP);
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return fail(errno);
    if (exists && !S_ISREG(old.st_mode))
        return fail(S_ISDIR(old.st_mode) ? EISDIR : EINVAL); // a folder, a device or a FIFO is not ours to replace
    // A file the process may not write stays as it is, as when it is opened for
    // writing in place; the rename alone would get past its read-only bits.
    if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        return fail(errno);

    // An existing file's bits are copied onto the temporary file before any byte
    // is written; a new file gets 0666 less the umask from open itself.
    fd_ = createTemporary(folderOf(target_), target_, exists ? S_IRUSR | S_IWUSR : 0666, temporary_);
    if (fd_ < 0 && exists && (errno == EACCES || errno == EPERM)) {
        // The folder takes no new file, the file itself may be written: in place.
        fd_ = createTemporary(stagingFolder(), target_, S_IRUSR | S_IWUSR, temporary_);
        inPlace_ = fd_ >= 0;
        if (inPlace_)
            return true;
    }
    if (fd_ < 0) {
        temporary_.clear();
        return fail(errno);
    }
    if (exists) {
        // Owner first: changing it clears set-id bits that fchmod then restores.
        // Only the owner may fail to carry over (an ordinary user writing a file
        // it does not own); that is not worth refusing the output.
        struct stat now {};
        if (::fstat(fd_, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid))
            (void)!::fchown(fd_, old.st_uid, old.st_gid);
        if (::fchmod(fd_, old.st_mode & 07777) != 0)
            return fail(errno);
    }
    return true;
}

bool OutputFile::Write(const void* data, std::size_t length) {
    if (fd_ < 0 || failed_)
        return false;
    if (!writeAll(fd_, static_cast<const char*>(data), length)) {
        error_ = errno;
        failed_ = true;
        return false;
    }
    written_ += length;
#if defined(__linux__)
    // Start writing the bytes so far to disk while the caller makes the next
    // ones, so the sync in Commit has little left to wait for. A hint only:
    // Commit's fsync reports any error. Not for an output written in place,
    // whose bytes here are only staged.
    if (!inPlace_ && written_ - writebackFrom_ >= kWritebackStep) {
        ::sync_file_range(fd_, static_cast<off_t>(writebackFrom_), static_cast<off_t>(written_ - writebackFrom_),
                          SYNC_FILE_RANGE_WRITE);
        writebackFrom_ = written_;
    }
#endif
    return true;
}

// The in-place path: the staged bytes replace the target's content. Not
// atomic: a failure part of the way leaves the target damaged. False with
// errno set on failure.
bool OutputFile::copyIntoTarget() {
    const int target = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (target < 0)
        return false;
    bool ok = ::lseek(fd_, 0, SEEK_SET) == 0;
    char buffer[64 * 1024];
    while (ok) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = writeAll(target, buffer, static_cast<std::size_t>(got));
    }
    ok = ok && ::fsync(target) == 0;
    const int error = errno;
    ok = ::close(target) == 0 && ok;
    if (!ok && errno == 0)
        errno = error;
    return ok;
}

bool OutputFile::Commit() {
    if (fd_ < 0 || failed_) {
        discard();
        return false;
    }
    // The target is replaced whole or not at all, even when the process is
    // interrupted now: the removal of the temporary files waits for the lock.
    const TemporaryFilesLock lock;
    if (inPlace_) {
        errno = 0;
        if (!copyIntoTarget())
            return fail(errno != 0 ? errno : EIO);
        discard();
        return true;
    }
    if (::fsync(fd_) != 0)
        return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    ForgetTemporary(temporary_);
    temporary_.clear();
    // Make the rename itself durable; the new content is already in place, so a
    // failure here does not undo the output.
    const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void OutputFile::discard() {
    const int error = errno; // a failure's reason outlives the clean-up
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) {
        const TemporaryFilesLock lock;
        ::unlink(temporary_.c_str());
        ForgetTemporary(temporary_);
    }
    temporary_.clear();
    errno = error;
}

} // namespace qh
