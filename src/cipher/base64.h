// Base64 with the alphabet and "=" padding of RFC 4648 section 4, written
// without line breaks. Decoding skips every character outside the alphabet
// (line breaks included) and ends at an "=" in the third or fourth place of a
// group; it never fails.
#ifndef QUILLHORN_BASE64_H
#define QUILLHORN_BASE64_H

#include "progress.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qh {

// The number of characters n bytes encode to: 4*ceil(n/3).
constexpr std::size_t Base64EncodedLength(std::size_t n) {
    return (n + 2) / 3 * 4;
}

// The most bytes n characters decode to, also when fed to a Base64Decoder
// that carries part of a group: ceil(3n/4).
constexpr std::size_t Base64MaxDecodedLength(std::size_t n) {
    return n - n / 4;
}

// Writes the Base64EncodedLength(bytes.size()) characters of `bytes` to `out`
// (no terminating zero) and returns their number.
std::size_t Base64EncodeTo(std::string_view bytes, char* out);

// 4*ceil(n/3) characters.
std::string Base64Encode(std::string_view bytes);

// Writes the bytes the text decodes to into `out`, which has room for
// Base64MaxDecodedLength(text.size()) bytes, and returns their number.
std::size_t Base64DecodeTo(std::string_view text, char* out);

// The bytes the text decodes to.
std::string Base64Decode(std::string_view text);

// Decoding in pieces: a group split between two pieces is carried over, so
// feeding a text in any pieces gives the bytes of the whole text at once.
class Base64Decoder {
public:
    // Writes the bytes of `text` to `out`, which has room for
    // Base64MaxDecodedLength(text.size()) bytes, and returns their number.
    std::size_t FeedTo(std::string_view text, char* out);
    // Appends the bytes of `text` to `out`.
    void Feed(std::string_view text, std::string& out);
    // True once an "=" has ended the decoding; later text is ignored.
    bool Ended() const { return ended_; }

private:
    std::uint32_t bits_ = 0;
    int count_ = 0; // characters of the current group seen so far (0 to 3)
    bool ended_ = false;
};

// Results of the file operations.
inline constexpr int kBase64Ok = 0;
inline constexpr int kBase64CannotRead = -2;  // the input cannot be opened, or is no regular file
inline constexpr int kBase64CannotWrite = -3; // the output file cannot be created
inline constexpr int kBase64SameFile = -4;    // input and output are the same file; nothing written
inline constexpr int kBase64FileError = -5;   // a read or write failed midway; the output is not replaced
inline constexpr int kBase64Cancelled = -6;   // stopped through the progress record; nothing written

// Encode or decode a file into another, streamed. Encoded output has no line
// breaks; decoding skips characters outside the alphabet, line breaks
// included, and carries a group split between two reads into the next.
// `progress` (may be null) counts the input's bytes and is looked at after
// every chunk of 64 KiB or so.
int Base64EncodeFile(const std::string& inputPath, const std::string& outputPath, Progress* progress = nullptr);
int Base64DecodeFile(const std::string& inputPath, const std::string& outputPath, Progress* progress = nullptr);

} // namespace qh

#endif
