#include "input_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qh {

InputFile::InputFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat info {};
    if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode))) {
        ::close(fd_);
        fd_ = -1;
    }
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
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
