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
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qh {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The byte at cursor + i; 0 at or beyond Size() (and, for a file, where
    // its bytes cannot be read).
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

    // Bulk read: a view of the bytes from the cursor on, at least one and at
    // most `want` bytes, or an empty view at the end of the source (or where a
    // file's bytes cannot be read). The cursor does not move; the view stays
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

// A file read through one read-only mapped window at a time, sliding forward
// (or back) as the cursor moves, so memory does not grow with the file's size.
class MappedFileSource final : public ByteSource {
public:
    explicit MappedFileSource(const std::string& path);
    ~MappedFileSource() override;
    MappedFileSource(const MappedFileSource&) = delete;
    MappedFileSource& operator=(const MappedFileSource&) = delete;

    // False when the file could not be opened (missing, unreadable, a folder).
    // An empty file opens fine and has Size() 0.
    bool IsOpen() const { return fd_ >= 0; }

    std::uint8_t At(std::uint64_t i) override;
    std::uint8_t Current() override;
    void Advance(std::uint64_t n) override;
    void Next() override;
    void Back(std::uint64_t n) override;
    void Prev() override;
    std::uint64_t Size() const override;
    std::span<const std::uint8_t> View(std::uint64_t want) override;

    // The window length in bytes (a multiple of 64 KiB).
    static std::uint64_t WindowLength();
    // Tests only: the window length of sources opened from now on, rounded up
    // to a multiple of 64 KiB; 0 restores the default.
    static void SetWindowLengthForTesting(std::uint64_t length);

private:
    bool mapWindowAt(std::uint64_t index);
    void unmapWindow();

    int fd_ = -1;
    std::uint64_t size_ = 0;
    const std::uint8_t* view_ = nullptr;
    std::uint64_t windowStart_ = 0;
    std::uint64_t windowLength_ = 0; // length of the mapped view
    std::uint64_t stride_ = 0;       // the window length when the source was opened
};

} // namespace qh

#endif
