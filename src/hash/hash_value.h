// The MD5 tool's hash-value input: bytes written as pairs of hexadecimal
// digits, with blanks and tabs allowed between pairs ("AD 3E", "AD3E").
#ifndef QUILLHORN_HASH_VALUE_H
#define QUILLHORN_HASH_VALUE_H

#include <optional>
#include <string>
#include <string_view>

namespace qh {

// The bytes of `text`, or nothing when it holds another character or a digit
// without a partner directly after it ("ADE", "A D", "0x12"). Empty text, or
// only blanks and tabs, gives zero bytes.
std::optional<std::string> ParseMd5HashValue(std::string_view text);

} // namespace qh

#endif
