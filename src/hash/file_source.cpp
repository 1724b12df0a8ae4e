// A file read with read() into one buffer that is reused as the cursor moves,
// so memory does not grow with the file's size. Reading rather than mapping
// works for every readable file, those of /proc and /sys included, and a byte
// that cannot be read is reported (Failed) instead of being taken for zero.
#include "byte_source.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qh {
namespace {

// Large enough that one read call costs little, small enough that the window
// being read and the one being digested both stay in the processor's
// second-level cache: a window copied out of the page cache is then digested
// from there, not from main memory.
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

// Reads one window ahead into a buffer of its own. The source asks for the
// window after the one it fills and takes it, buffer and all, when it gets
// there; a window it does not take (the cursor jumped) is dropped.
class FileSource::ReadAhead {
public:
    ReadAhead(int fd, std::uint64_t capacity)
        : fd_(fd), buffer_(static_cast<std::uint8_t*>(std::aligned_alloc(kAlignment, capacity))),
          thread_([this] { run(); }) {}
    ~ReadAhead() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    bool usable() const { return buffer_ != nullptr; }

    void request(std::uint64_t start, std::uint64_t length) {
        {
            const std::lock_guard lock(mutex_);
            start_ = start;
            length_ = length;
            state_ = State::Reading;
        }
        changed_.notify_all();
    }

    // Hands over the window at `start` by swapping it into `buffer`: the count
    // read (-1 on an error), or nothing when that window was not asked for.
    std::optional<long long> take(std::uint64_t start, std::unique_ptr<std::uint8_t[], AlignedFree>& buffer) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return state_ != State::Reading; });
        const bool ours = state_ == State::Ready && start_ == start;
        state_ = State::Idle;
        if (!ours)
            return std::nullopt;
        std::swap(buffer, buffer_);
        return got_;
    }

private:
    enum class State { Idle, Reading, Ready };

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stop_ || state_ == State::Reading; });
            if (stop_)
                return;
            const std::uint64_t start = start_, length = length_;
            lock.unlock();
            const long long got = ReadFully(fd_, start, buffer_.get(), length);
            lock.lock();
            got_ = got;
            state_ = State::Ready;
            changed_.notify_all();
        }
    }

    int fd_;
    std::unique_ptr<std::uint8_t[], AlignedFree> buffer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Idle;
    std::uint64_t start_ = 0, length_ = 0;
    long long got_ = 0;
    bool stop_ = false;
    std::thread thread_; // last: it starts once everything above stands
};

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
    ahead_.reset(); // its thread reads from the descriptor
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
    if (!ahead_) {
        ahead_ = std::make_unique<ReadAhead>(fd_, capacity_);
        if (!ahead_->usable())
            ahead_.reset();
    }
    std::optional<long long> taken = ahead_ ? ahead_->take(start, buffer_) : std::nullopt;
    const long long got = taken ? *taken : readAt(start, buffer_.get(), length);
    // The next window is read while this one is worked on.
    if (ahead_ && start + capacity_ < size_)
        ahead_->request(start + capacity_, std::min(capacity_, size_ - start - capacity_));
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
