// Byte sources: the input of the digest and check-value algorithms. A source
// is a finite sequence of bytes whose length is fixed when it is made, with a
// cursor (an offset from the first byte) that starts at 0.
//
// Sizes, offsets and counts are 64-bit: files of 4 GiB and more work.
//
// The byte-wise operations (At, Current, Advance, Next, Back, Prev) keep their
// classic meaning; hot loops read whole runs through View instead, so that no
// virtual call is made per byte.
#ifndef QUILLHORN_BYTE_SOURCE_H
#define QUILLHORN_BYTE_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qh {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The byte at cursor + i; 0 at or beyond Size() (and once the source has
    // Failed).
    virtual std::uint8_t At(std::uint64_t i) = 0;
    // The byte at the cursor.
    virtual std::uint8_t Current() = 0;
    // cursor += n
    virtual void Advance(std::uint64_t n) = 0;
    // cursor += 1
    virtual void Next() = 0;
    // cursor -= n
    virtual void Back(std::uint64_t n) = 0;
    // cursor -= 1
    virtual void Prev() = 0;
    // The total length in bytes, whatever the cursor.
    virtual std::uint64_t Size() const = 0;
    // True once a byte could not be read (a file's read error, or a file that
    // shrank while read): from then on views are empty and bytes read as 0.
    // Digests of such a source are no digests of its content.
    virtual bool Failed() const { return false; }

    // Bulk read: a view of the bytes from the cursor on, at least one and at
    // most `want` bytes, or an empty view at the end of the source (or once it
    // has Failed). The cursor does not move; the view stays
    // valid until the next call on the source.
    virtual std::span<const std::uint8_t> View(std::uint64_t want) = 0;

    std::uint64_t Cursor() const { return cursor_; }

protected:
    std::uint64_t cursor_ = 0;
};

// A copy of bytes in memory.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes);
    MemorySource(const void* data, std::uint64_t length);

    std::uint8_t At(std::uint64_t i) override;
    std::uint8_t Current() override;
    void Advance(std::uint64_t n) override;
    void Next() override;
    void Back(std::uint64_t n) override;
    void Prev() override;
    std::uint64_t Size() const override;
    std::span<const std::uint8_t> View(std::uint64_t want) override;

private:
    std::vector<std::uint8_t> data_;
};

// Bytes in a buffer that the source does not own, with an explicit length.
class BorrowedTextSource final : public ByteSource {
public:
    BorrowedTextSource(const void* data, std::uint64_t length);

    std::uint8_t At(std::uint64_t i) override;
    std::uint8_t Current() override;
    void Advance(std::uint64_t n) override;
    void Next() override;
    void Back(std::uint64_t n) override;
    void Prev() override;
    std::uint64_t Size() const override;
    std::span<const std::uint8_t> View(std::uint64_t want) override;

private:
    const std::uint8_t* data_;
    std::uint64_t length_;
};

// A regular file, read into a reused buffer as the cursor moves, so memory
// does not grow with the file's size. A file no larger than the buffer is read
// whole when it is opened, up to its end, whatever length the file system
// reports for it (files of /proc and /sys report 0 or a page). A larger one is
// read window by window into the same buffer.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // False when the file could not be opened (missing, unreadable, not a
    // regular file). An empty file opens fine and has Size() 0.
    bool IsOpen() const { return fd_ >= 0; }
    bool Failed() const override { return failed_; }

    std::uint8_t At(std::uint64_t i) override;
    std::uint8_t Current() override;
    void Advance(std::uint64_t n) override;
    void Next() override;
    void Back(std::uint64_t n) override;
    void Prev() override;
    std::uint64_t Size() const override;
    std::span<const std::uint8_t> View(std::uint64_t want) override;

    // The buffer length in bytes.
    static std::uint64_t BufferLength();
    // Tests only: the buffer length of sources opened from now on, rounded up
    // to a multiple of 4 KiB; 0 restores the default.
    static void SetBufferLengthForTesting(std::uint64_t length);

private:
    struct AlignedFree {
        void operator()(std::uint8_t* data) const;
    };

    long long readAt(std::uint64_t offset, std::uint8_t* to, std::uint64_t length);
    void readWhole();
    bool fill(std::uint64_t index);

    int fd_ = -1;
    std::uint64_t size_ = 0;
    bool failed_ = false;
    std::uint64_t capacity_;
    std::unique_ptr<std::uint8_t[], AlignedFree> buffer_;
    std::uint64_t bufferStart_ = 0;  // the file offset of the buffer's first byte
    std::uint64_t bufferLength_ = 0; // the bytes of the file it holds
};

} // namespace qh

#endif
