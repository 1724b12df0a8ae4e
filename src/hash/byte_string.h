// Byte strings: bytes written as text, two hexadecimal digits per byte and one
// blank between bytes, as in "AD 3E B2". Byte k occupies the cell of characters
// 3k, 3k+1 and 3k+2, whatever they hold.
#ifndef QUILLHORN_BYTE_STRING_H
#define QUILLHORN_BYTE_STRING_H

#include <string>
#include <string_view>

namespace qh {

// Parses every cell of `text`: ceil(length / 3) bytes. In each cell, white
// space (blank, tab, LF, CR, VT, FF) is skipped, then one hexadecimal digit is
// read and, if another follows directly, a second. A cell from which no digit
// can be read gives 0. "AD3EB2" gives AD EB; "A" gives 0A; "ABCD" gives AB 0D.
std::string ParseByteString(std::string_view text);

// True when every character is a hexadecimal digit, a blank or a tab: the
// characters the SHA and CRC panes accept.
bool IsByteStringText(std::string_view text);

// Every byte (00 included) as two upper-case digits, one blank between bytes,
// none after the last: "41 0A FF". Empty input gives empty text.
std::string FormatByteString(std::string_view bytes);

} // namespace qh

#endif
