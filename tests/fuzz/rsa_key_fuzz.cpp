// libFuzzer target for the CLI's key files: any text is a key of three
// non-empty hexadecimal numbers or is refused with a reason, and a key written
// back as three lines (LF or CR LF) reads as the same key.
#include "fuzz_support.h"
#include "rsa_command.h"

#include <cstdint>
#include <string>

using qh::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<qh::cli::RsaKey> key = qh::cli::ParseRsaKey(text, error);
    Require(key.has_value() == error.empty());
    if (!key)
        return 0;
    for (const std::string* number : {&key->n, &key->e, &key->d})
        Require(!number->empty() && number->find_first_not_of("0123456789abcdefABCDEF") == std::string::npos);
    for (const char* end : {"\n", "\r\n"}) {
        const std::optional<qh::cli::RsaKey> back =
            qh::cli::ParseRsaKey(key->n + end + key->e + end + key->d + end, error);
        Require(back && back->n == key->n && back->e == key->e && back->d == key->d);
    }
    return 0;
}
