// libFuzzer target for the code decoder. Decoding must never crash, piecewise
// decoding must equal one-shot decoding, and encoded bytes must decode back.
//
// Input layout: a flags byte, the prefix and suffix lengths (0 to 3 each), a
// split point, then the prefix, the suffix and the text.
#include "code_decoder.h"
#include "code_encoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void require(bool condition) {
    if (!condition)
        __builtin_trap();
}

bool isDigitOf(char byte, bool hex) {
    if (byte >= '0' && byte <= '9')
        return true;
    return hex && ((byte >= 'a' && byte <= 'f') || (byte >= 'A' && byte <= 'F'));
}

std::string withoutDigits(const std::string& text, bool hex) {
    std::string kept;
    for (char byte : text)
        if (!isDigitOf(byte, hex))
            kept.push_back(byte);
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const uint8_t flags = data[0];
    const size_t prefixLength = data[1] % 4, suffixLength = data[2] % 4, splitByte = data[3];
    data += 4;
    size -= 4;
    if (size < prefixLength + suffixLength)
        return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string prefix(bytes, prefixLength);
    const std::string suffix(bytes + prefixLength, suffixLength);
    const std::string_view text(bytes + prefixLength + suffixLength, size - prefixLength - suffixLength);
    const bool hex = (flags & 1) != 0;
    const qh::DecodeParams params = qh::MakeDecodeParams(hex ? 16 : 10, prefix, suffix, (flags & 2) != 0);

    // Piecewise equals one-shot.
    const qh::DecodeOutput whole = qh::DecodeCodes(text, params);
    const size_t split = text.empty() ? 0 : splitByte % (text.size() + 1);
    qh::CodeDecoder decoder(params);
    qh::DecodeOutput pieces;
    decoder.feed(text.substr(0, split), pieces.result, &pieces.report);
    decoder.feed(text.substr(split), pieces.result, &pieces.report);
    decoder.finish(pieces.result, &pieces.report);
    require(pieces.result == whole.result && pieces.report == whole.report);

    // Round trip: with a prefix or suffix free of digits any width up to the
    // digit limit reads back; without either only full-width codes do.
    qh::EncodeOptions options;
    options.base = hex ? qh::CodeBase::Hexadecimal : qh::CodeBase::Decimal;
    options.lowerCase = (flags & 4) != 0;
    options.prefix = withoutDigits(prefix, hex);
    options.suffix = withoutDigits(suffix, hex);
    const int limit = qh::DigitLimitFor(hex ? 16 : 10);
    options.width = options.prefix.empty() && options.suffix.empty() ? limit : (flags >> 3) % (limit + 1);
    const std::string codes = qh::EncodeCodes(text, options);
    const qh::DecodeOutput back =
        qh::DecodeCodes(codes, qh::MakeDecodeParams(hex ? 16 : 10, options.prefix, options.suffix, false));
    require(back.result == text && back.report.empty());
    return 0;
}
