// A file read through one read-only mapped window at a time. Windows start at
// multiples of the window length, so a sequential reader remaps once per
// window; the view is valid until the next remap.
#include "byte_source.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qh {
namespace {

constexpr std::uint64_t kGranule = 64 * 1024;
// Large enough that mapping and unmapping cost little beside even the fastest
// algorithm (CRC-32 at about 10 GB/s reads a window in 3 ms), small enough to
// keep the mapped part of the file modest.
constexpr std::uint64_t kDefaultWindowLength = 32 * 1024 * 1024;

std::atomic<std::uint64_t> windowLength{kDefaultWindowLength};

} // namespace

std::uint64_t MappedFileSource::WindowLength() {
    return windowLength.load(std::memory_order_relaxed);
}

void MappedFileSource::SetWindowLengthForTesting(std::uint64_t length) {
    length = length == 0 ? kDefaultWindowLength : (length + kGranule - 1) / kGranule * kGranule;
    windowLength.store(length, std::memory_order_relaxed);
}

MappedFileSource::MappedFileSource(const std::string& path) : stride_(WindowLength()) {
    // Non-blocking, so that opening a named pipe does not wait for a writer;
    // it has no effect on a regular file.
    int fd;
    do
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return;
    struct stat info {};
    // Folders, devices and pipes have no fixed length of bytes to digest.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(info.st_size);
    if (size_ != 0)
        mapWindowAt(0);
}

MappedFileSource::~MappedFileSource() {
    unmapWindow();
    if (fd_ >= 0)
        ::close(fd_);
}

void MappedFileSource::unmapWindow() {
    if (view_)
        ::munmap(const_cast<std::uint8_t*>(view_), windowLength_);
    view_ = nullptr;
    windowStart_ = 0;
    windowLength_ = 0;
}

// Maps the window holding byte `index` (< size_) in place of the current one.
bool MappedFileSource::mapWindowAt(std::uint64_t index) {
    unmapWindow();
    const std::uint64_t start = index / stride_ * stride_;
    const std::uint64_t length = std::min(stride_, size_ - start);
    // Populating the page table in one go is much cheaper than a page fault
    // every few pages, which would cost the fast algorithms a good part of
    // their speed. (Asking the kernel to read the next window ahead as well
    // made things slower, much slower for a sparse file.)
    void* address = ::mmap(nullptr, length, PROT_READ, MAP_SHARED | MAP_POPULATE, fd_, static_cast<off_t>(start));
    if (address == MAP_FAILED)
        return false;
    view_ = static_cast<const std::uint8_t*>(address);
    windowStart_ = start;
    windowLength_ = length;
    return true;
}

std::uint8_t MappedFileSource::At(std::uint64_t i) {
    const std::uint64_t index = cursor_ + i;
    if (index >= size_)
        return 0;
    if (index - windowStart_ >= windowLength_ && !mapWindowAt(index))
        return 0;
    return view_[index - windowStart_];
}

std::uint8_t MappedFileSource::Current() {
    return At(0);
}
void MappedFileSource::Advance(std::uint64_t n) {
    cursor_ += n;
}
void MappedFileSource::Next() {
    ++cursor_;
}
void MappedFileSource::Back(std::uint64_t n) {
    cursor_ -= n;
}
void MappedFileSource::Prev() {
    --cursor_;
}
std::uint64_t MappedFileSource::Size() const {
    return size_;
}

std::span<const std::uint8_t> MappedFileSource::View(std::uint64_t want) {
    if (cursor_ >= size_ || want == 0)
        return {};
    if (cursor_ - windowStart_ >= windowLength_ && !mapWindowAt(cursor_))
        return {};
    const std::uint64_t offset = cursor_ - windowStart_;
    return {view_ + offset, static_cast<std::size_t>(std::min(want, windowLength_ - offset))};
}

} // namespace qh
