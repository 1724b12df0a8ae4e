#include "byte_string.h"

namespace qh {
namespace {

int DigitValue(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

bool IsWhiteSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

} // namespace

std::string ParseByteString(std::string_view text) {
    const std::size_t length = text.size();
    std::string bytes;
    bytes.reserve((length + 2) / 3);
    // Every cell gives one byte, wherever its digits were found: skipping white
    // space may run into later cells without moving where they start. A cell
    // that starts inside a run already skipped ends where that run ends, so
    // each run is scanned once, however many cells it covers.
    std::size_t runEnd = 0;
    for (std::size_t cell = 0; cell < length; cell += 3) {
        std::size_t i = cell < runEnd ? runEnd : cell;
        while (i < length && IsWhiteSpace(text[i]))
            ++i;
        runEnd = i;
        int value = 0;
        if (i < length && DigitValue(text[i]) >= 0) {
            value = DigitValue(text[i]);
            if (i + 1 < length && DigitValue(text[i + 1]) >= 0)
                value = value * 16 + DigitValue(text[i + 1]);
        }
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

bool IsByteStringText(std::string_view text) {
    for (char ch : text) {
        if (DigitValue(ch) < 0 && ch != ' ' && ch != '\t')
            return false;
    }
    return true;
}

std::string FormatByteString(std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    if (bytes.empty())
        return text;
    text.reserve(bytes.size() * 3 - 1);
    for (unsigned char byte : bytes) {
        if (!text.empty())
            text.push_back(' ');
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 15]);
    }
    return text;
}

} // namespace qh
