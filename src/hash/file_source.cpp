// A file read with read() into one buffer that is reused as the cursor moves,
// so memory does not grow with the file's size. Reading rather than mapping
// works for every readable file, those of /proc and /sys included, and a byte
// that cannot be read is reported (Failed) instead of being taken for zero.
#include "byte_source.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qh {
namespace {

// Large enough that one read call costs little, small enough that the window
// stays in the processor's second-level cache: a window copied out of the page
// cache is then digested from there, not from main memory. The reading is not
// handed to a second thread: a window copied on one core and digested on the
// other crosses between their caches, which cost the digesting core as much as
// the copy itself, and slowed the fastest algorithms (the CRCs) to half.
constexpr std::uint64_t kDefaultBufferLength = 512 * 1024;
constexpr std::size_t kAlignment = 4096;

std::atomic<std::uint64_t> bufferLength{kDefaultBufferLength};

long long ReadFully(int fd, std::uint64_t offset, std::uint8_t* to, std::uint64_t length) {
    std::uint64_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(fd, to + done, static_cast<std::size_t>(length - done), static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += static_cast<std::uint64_t>(got);
    }
    return static_cast<long long>(done);
}

} // namespace

void FileSource::AlignedFree::operator()(std::uint8_t* data) const {
    std::free(data);
}

std::uint64_t FileSource::BufferLength() {
    return bufferLength.load(std::memory_order_relaxed);
}

void FileSource::SetBufferLengthForTesting(std::uint64_t length) {
    length = length == 0 ? kDefaultBufferLength : (length + kAlignment - 1) / kAlignment * kAlignment;
    bufferLength.store(length, std::memory_order_relaxed);
}

FileSource::FileSource(const std::string& path) : capacity_(BufferLength()) {
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
    buffer_.reset(static_cast<std::uint8_t*>(std::aligned_alloc(kAlignment, capacity_)));
    if (!buffer_) {
        failed_ = true;
        return;
    }
    if (static_cast<std::uint64_t>(info.st_size) <= capacity_) {
        // A small file is read whole, up to its end: the length that files of
        // /proc and /sys report (0, or a page) is not their content's.
        readWhole();
        return;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

FileSource::~FileSource() {
    if (fd_ >= 0)
        ::close(fd_);
}

// Reads up to `length` bytes at `offset` into `to`; the count read, short only
// at the end of the file; -1 on an error.
long long FileSource::readAt(std::uint64_t offset, std::uint8_t* to, std::uint64_t length) {
    return ReadFully(fd_, offset, to, length);
}

void FileSource::readWhole() {
    std::uint64_t filled = 0;
    for (;;) {
        const long long got = readAt(filled, buffer_.get() + filled, capacity_ - filled);
        if (got < 0) {
            failed_ = true;
            return;
        }
        filled += static_cast<std::uint64_t>(got);
        if (filled < capacity_)
            break;
        // The buffer is full and the file goes on: it grew after its length
        // was taken. Its length is counted to the end as it is now; its bytes
        // are then read window by window like those of any large file.
        size_ = filled;
        std::vector<std::uint8_t> scratch(64 * 1024);
        long long more;
        while ((more = readAt(size_, scratch.data(), scratch.size())) > 0)
            size_ += static_cast<std::uint64_t>(more);
        failed_ = more < 0;
        bufferLength_ = filled;
        return;
    }
    size_ = filled;
    bufferLength_ = filled;
}

// Reads the buffer-long window that holds byte `index` (< size_). Windows start
// at multiples of the buffer length, so a sequential reader reads each byte once.
bool FileSource::fill(std::uint64_t index) {
    if (failed_)
        return false;
    const std::uint64_t start = index / capacity_ * capacity_;
    const std::uint64_t length = std::min(capacity_, size_ - start);
    const long long got = readAt(start, buffer_.get(), length);
    if (got < 0 || static_cast<std::uint64_t>(got) != length) {
        // A read error, or the file shrank while read: its bytes are gone.
        failed_ = true;
        bufferStart_ = bufferLength_ = 0;
        return false;
    }
    bufferStart_ = start;
    bufferLength_ = length;
    return true;
}

std::uint8_t FileSource::At(std::uint64_t i) {
    const std::uint64_t index = cursor_ + i;
    if (index >= size_)
        return 0;
    if (index - bufferStart_ >= bufferLength_ && !fill(index))
        return 0;
    return buffer_[index - bufferStart_];
}

std::uint8_t FileSource::Current() {
    return At(0);
}
void FileSource::Advance(std::uint64_t n) {
    cursor_ += n;
}
void FileSource::Next() {
    ++cursor_;
}
void FileSource::Back(std::uint64_t n) {
    cursor_ -= n;
}
void FileSource::Prev() {
    --cursor_;
}
std::uint64_t FileSource::Size() const {
    return size_;
}

std::span<const std::uint8_t> FileSource::View(std::uint64_t want) {
    if (cursor_ >= size_ || want == 0)
        return {};
    if (cursor_ - bufferStart_ >= bufferLength_ && !fill(cursor_))
        return {};
    const std::uint64_t offset = cursor_ - bufferStart_;
    return {buffer_.get() + offset, static_cast<std::size_t>(std::min(want, bufferLength_ - offset))};
}

} // namespace qh
