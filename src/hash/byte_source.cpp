// The in-memory byte sources. Reads past the end give 0, as for files, so
// that a caller that overshoots sees zeros rather than foreign memory.
#include "byte_source.h"

#include <algorithm>

namespace qh {
namespace {

// The bytes of [data, data + length) from `cursor` on, at most `want`.
std::span<const std::uint8_t> ViewOf(const std::uint8_t* data, std::uint64_t length, std::uint64_t cursor,
                                     std::uint64_t want) {
    if (cursor >= length || want == 0)
        return {};
    return {data + cursor, static_cast<std::size_t>(std::min(want, length - cursor))};
}

} // namespace

MemorySource::MemorySource(std::string_view bytes) : data_(bytes.begin(), bytes.end()) {}

MemorySource::MemorySource(const void* data, std::uint64_t length) {
    if (length != 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        data_.assign(bytes, bytes + length);
    }
}

std::uint8_t MemorySource::At(std::uint64_t i) {
    const std::uint64_t index = cursor_ + i;
    return index < data_.size() ? data_[index] : 0;
}

std::uint8_t MemorySource::Current() {
    return At(0);
}
void MemorySource::Advance(std::uint64_t n) {
    cursor_ += n;
}
void MemorySource::Next() {
    ++cursor_;
}
void MemorySource::Back(std::uint64_t n) {
    cursor_ -= n;
}
void MemorySource::Prev() {
    --cursor_;
}
std::uint64_t MemorySource::Size() const {
    return data_.size();
}

std::span<const std::uint8_t> MemorySource::View(std::uint64_t want) {
    return ViewOf(data_.data(), data_.size(), cursor_, want);
}

BorrowedTextSource::BorrowedTextSource(const void* data, std::uint64_t length)
    : data_(static_cast<const std::uint8_t*>(data)), length_(length) {}

std::uint8_t BorrowedTextSource::At(std::uint64_t i) {
    const std::uint64_t index = cursor_ + i;
    return index < length_ ? data_[index] : 0;
}

std::uint8_t BorrowedTextSource::Current() {
    return At(0);
}
void BorrowedTextSource::Advance(std::uint64_t n) {
    cursor_ += n;
}
void BorrowedTextSource::Next() {
    ++cursor_;
}
void BorrowedTextSource::Back(std::uint64_t n) {
    cursor_ -= n;
}
void BorrowedTextSource::Prev() {
    --cursor_;
}
std::uint64_t BorrowedTextSource::Size() const {
    return length_;
}

std::span<const std::uint8_t> BorrowedTextSource::View(std::uint64_t want) {
    return ViewOf(data_, length_, cursor_, want);
}

} // namespace qh
