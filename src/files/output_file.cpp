#include "output_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qh {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::Open(const std::string& path) {
    discard();
    failed_ = false;
    if (path.empty())
        return false;
    // A link is replaced at its target, so the user's file stays where it is.
    char* resolved = ::realpath(path.c_str(), nullptr);
    target_ = resolved ? resolved : path;
    std::free(resolved);

    struct stat existing {};
    mode_t mode = 0666 & ~currentUmask();
    if (::stat(target_.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode) || ::access(target_.c_str(), W_OK) != 0)
            return false;
        mode = existing.st_mode & 07777;
    }
    std::string pattern = folderOf(target_) + "/.quillhorn-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0)
        return false;
    temporary_ = pattern;
    ::fchmod(fd_, mode);
    return true;
}

bool OutputFile::Write(const void* data, std::size_t length) {
    if (fd_ < 0 || failed_)
        return false;
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t written = ::write(fd_, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            failed_ = true;
            return false;
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool OutputFile::Commit() {
    if (fd_ < 0 || failed_ || ::fsync(fd_) != 0) {
        discard();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    return true;
}

void OutputFile::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

} // namespace qh
