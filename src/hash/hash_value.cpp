#include "hash_value.h"

#include "md5.h"

namespace qh {

std::optional<std::string> ParseMd5HashValue(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() / 2);
    std::size_t i = 0;
    while (i < text.size()) {
        const int high = HexDigitValue(text[i]);
        const int low = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        if (high >= 0 && low >= 0) {
            bytes.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else if (text[i] == ' ' || text[i] == '\t') {
            ++i;
        } else {
            return std::nullopt; // another character, or a digit without its partner
        }
    }
    return bytes;
}

} // namespace qh
