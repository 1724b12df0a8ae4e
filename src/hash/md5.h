// MD5 (RFC 1321).
#ifndef QUILLHORN_MD5_H
#define QUILLHORN_MD5_H

#include "progress.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qh {

class Md5 {
public:
    static constexpr std::size_t kDigestLength = 16;

    Md5();
    void Update(const void* data, std::size_t length);
    // Appends the completion and the 64-bit bit length; the object must not be
    // updated afterwards.
    std::array<std::uint8_t, kDigestLength> Finish();

private:
    std::uint32_t state_[4];
    std::uint64_t length_ = 0; // bytes so far
    std::uint8_t buffer_[64];
};

// The digest of `bytes` as 32 lower-case hexadecimal digits.
std::string Md5Buffer(std::string_view bytes);

// The digest of the file at `path` as 32 lower-case digits; nothing when the
// file cannot be opened or read. An empty file gives the digest of zero bytes.
// `progress` (may be null) counts the bytes and is looked at after every read;
// a cancelled digest gives nothing.
std::optional<std::string> Md5File(const std::string& path, Progress* progress = nullptr);

// 0-9 for '0'-'9', 10-15 for 'a'-'f' and 'A'-'F', -1 for anything else.
int HexDigitValue(char ch);

} // namespace qh

#endif
