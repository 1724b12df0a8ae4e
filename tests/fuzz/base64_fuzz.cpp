// libFuzzer target for the Base64 codec. On every path the processor runs,
// decoding gives the bytes of a character-at-a-time decoder, whole and in two
// pieces split where the input says; encoding gives the portable path's text;
// both write only within the room they promise; decoding undoes encoding.
//
// Input layout: a split byte, then the text (also encoded, as bytes).
#include "base64.h"
#include "base64_internal.h"
#include "fuzz_support.h"

#include <cstdint>
#include <memory>
#include <string>

using qh::fuzz::Require;
namespace detail = qh::base64_detail;

namespace {

// Decoding by the rules alone: characters outside the alphabet are skipped,
// an "=" in the third or fourth place of a group ends the text.
std::string Reference(std::string_view text) {
    static const std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const std::size_t value = kAlphabet.find(c);
        if (value == std::string_view::npos) {
            if (c == '=' && count >= 2)
                break;
            continue;
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        if (++count >= 2)
            bytes.push_back(static_cast<char>(bits >> (2 * (4 - count))));
        if (count == 4)
            count = 0;
    }
    return bytes;
}

// Decodes into a heap buffer of exactly the promised room, so that a write
// past it is an AddressSanitizer report.
std::string DecodeInRoom(qh::Base64Decoder& decoder, std::string_view text) {
    const std::size_t room = qh::Base64MaxDecodedLength(text.size());
    const auto buffer = std::make_unique<char[]>(room);
    const std::size_t written = decoder.FeedTo(text, buffer.get());
    Require(written <= room);
    return std::string(buffer.get(), written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = data[0] * text.size() / 255;
    const std::string expected = Reference(text);
    std::string portableCode; // the portable path comes first

    for (const detail::Path path : {detail::Path::Portable, detail::Path::Avx2, detail::Path::Avx512Vbmi}) {
        if (!detail::ForcePath(path))
            continue;
        Require(qh::Base64Decode(text) == expected);

        qh::Base64Decoder whole;
        Require(DecodeInRoom(whole, text) == expected);

        qh::Base64Decoder pieces;
        std::string joined = DecodeInRoom(pieces, text.substr(0, split));
        joined += DecodeInRoom(pieces, text.substr(split));
        Require(joined == expected);

        const std::size_t length = qh::Base64EncodedLength(text.size());
        const auto encoded = std::make_unique<char[]>(length);
        Require(qh::Base64EncodeTo(text, encoded.get()) == length);
        const std::string_view code(encoded.get(), length);
        Require(code == qh::Base64Encode(text));
        if (path == detail::Path::Portable)
            portableCode = code;
        Require(code == portableCode);
        Require(qh::Base64Decode(code) == text);
        qh::Base64Decoder codePieces;
        const std::size_t codeSplit = data[0] * length / 255;
        std::string back = DecodeInRoom(codePieces, code.substr(0, codeSplit));
        back += DecodeInRoom(codePieces, code.substr(codeSplit));
        Require(back == text);
    }
    detail::UseFastestPath();
    return 0;
}
