#include "input_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qh {

// Opened without waiting: a named pipe with no writer would otherwise hold the
// caller (and a window) until someone opens it. Reads wait as usual.
InputFile::InputFile(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {
    if (fd_ < 0)
        return;
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode) ||
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    regular_ = S_ISREG(info.st_mode);
    size_ = static_cast<std::uint64_t>(info.st_size);
    device_ = static_cast<std::uint64_t>(info.st_dev);
    inode_ = static_cast<std::uint64_t>(info.st_ino);
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool InputFile::IsSameFileAs(const std::string& path) const {
    struct stat other {};
    return fd_ >= 0 && ::stat(path.c_str(), &other) == 0 && static_cast<std::uint64_t>(other.st_dev) == device_ &&
           static_cast<std::uint64_t>(other.st_ino) == inode_;
}

long long InputFile::Read(void* data, std::size_t length) {
    auto* bytes = static_cast<unsigned char*>(data);
    std::size_t filled = 0;
    while (filled < length) {
        const ssize_t got = ::read(fd_, bytes + filled, length - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(filled);
}

} // namespace qh
