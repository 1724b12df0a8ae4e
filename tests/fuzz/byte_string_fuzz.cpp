// libFuzzer target for byte strings: any text parses to one byte per cell of
// three characters, and bytes formatted as a byte string parse back, in either
// letter case and after parsing and formatting once more.
#include "byte_string.h"
#include "fuzz_support.h"

#include <cctype>
#include <cstdint>
#include <string>

using qh::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string parsed = qh::ParseByteString(input);
    Require(parsed.size() == (size + 2) / 3);
    Require(qh::ParseByteString(qh::FormatByteString(parsed)) == parsed);

    const std::string text = qh::FormatByteString(input);
    Require(text.size() == (size == 0 ? 0 : 3 * size - 1));
    Require(qh::IsByteStringText(text));
    Require(qh::ParseByteString(text) == input);
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Require(qh::ParseByteString(lower) == input);
    return 0;
}
