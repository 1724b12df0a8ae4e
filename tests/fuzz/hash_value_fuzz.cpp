// libFuzzer target for the MD5 tool's hash-value input. A text parses exactly
// when it is runs of hexadecimal digits of even length between blanks and
// tabs, to the bytes of those runs; formatted bytes parse back.
#include "byte_string.h"
#include "fuzz_support.h"
#include "hash_value.h"

#include <cstdint>
#include <optional>
#include <string>

using qh::fuzz::Require;

namespace {

int Digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The same rule, read run by run.
std::optional<std::string> Reference(std::string_view text) {
    std::string bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && Digit(text[i]) >= 0)
            ++i;
        if (i == start || (i - start) % 2 != 0 || (i < text.size() && text[i] != ' ' && text[i] != '\t'))
            return std::nullopt;
        for (std::size_t j = start; j < i; j += 2)
            bytes.push_back(static_cast<char>(Digit(text[j]) * 16 + Digit(text[j + 1])));
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Require(qh::ParseMd5HashValue(input) == Reference(input));
    Require(qh::ParseMd5HashValue(qh::FormatByteString(input)) == std::string(input));
    return 0;
}
