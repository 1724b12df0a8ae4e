#include "code_encoder.h"

#include <algorithm>

namespace qh {
namespace {

std::string formatCode(unsigned value, CodeBase base, bool lowerCase, int width) {
    const char* digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    const unsigned radix = base == CodeBase::Decimal ? 10 : 16;
    std::string code;
    do {
        code.push_back(digits[value % radix]);
        value /= radix;
    } while (value != 0);
    if (static_cast<int>(code.size()) < width)
        code.append(static_cast<size_t>(width) - code.size(), '0');
    std::reverse(code.begin(), code.end());
    return code;
}

} // namespace

int ParseCodeWidth(std::string_view text) {
    int width = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            continue;
        width = std::min(width * 10 + (ch - '0'), kMaxCodeWidth);
    }
    return width;
}

CodeEncoder::CodeEncoder(const EncodeOptions& options) : prefix_(options.prefix), suffix_(options.suffix) {
    const int width = std::clamp(options.width, 0, kMaxCodeWidth);
    for (unsigned value = 0; value < 256; ++value) {
        codes_[value] = formatCode(value, options.base, options.lowerCase, width);
        longestCode_ = std::max(longestCode_, codes_[value].size());
    }
}

void CodeEncoder::append(std::string_view bytes, std::string& out) const {
    out.reserve(out.size() + bytes.size() * (prefix_.size() + longestCode_ + suffix_.size()));
    for (unsigned char byte : bytes) {
        out += prefix_;
        out += codes_[byte];
        out += suffix_;
    }
}

std::string EncodeCodes(std::string_view bytes, const EncodeOptions& options) {
    std::string out;
    CodeEncoder(options).append(bytes, out);
    return out;
}

std::u32string EncodeCodePoints(std::u32string_view text, const CodePointEncodeOptions& options) {
    const int width = std::clamp(options.width, 0, kMaxCodeWidth);
    std::u32string out;
    for (const char32_t c : text) {
        out += options.prefix;
        for (const char digit : formatCode(static_cast<unsigned>(c), options.base, options.lowerCase, width))
            out.push_back(static_cast<char32_t>(digit));
        out += options.suffix;
    }
    return out;
}

} // namespace qh
