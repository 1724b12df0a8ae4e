#include "code_decoder.h"

#include <algorithm>
#include <type_traits>

namespace qh {
namespace {

template <typename Char> constexpr bool kBytes = std::is_same_v<Char, char>;

// A code above this is no character: U+FFFD stands for it. Values are capped
// here as digits come, so that no code can overflow.
constexpr uint32_t kBeyondUnicode = 0x110000;

// The value of a digit of the base, or -1 for an unusable unit. Units from
// 0x80 up (halves of double-byte characters, or characters beyond ASCII) are
// never digits.
template <typename Char> int digitValue(Char unit, bool hex) {
    const auto c = static_cast<std::make_unsigned_t<Char>>(unit);
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (hex && c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (hex && c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// A unit as the report shows it: a byte as it is, a character in UTF-8.
void appendUnit(std::string& report, char byte) {
    report.push_back(byte);
}
void appendUnit(std::string& report, char32_t c) {
    appendUtf8(report, c);
}

} // namespace

int DigitLimitFor(int base) {
    return base == 16 ? 2 : 3;
}

DecodeParams MakeDecodeParams(int base, std::string prefix, std::string suffix, bool copyErrors) {
    return {std::move(prefix), std::move(suffix), base, DigitLimitFor(base), copyErrors};
}

CodePointParams MakeCodePointParams(int base, std::u32string prefix, std::u32string suffix, bool copyErrors) {
    return {std::move(prefix), std::move(suffix), base, kAnyWidth, copyErrors};
}

template <typename Char>
BasicCodeDecoder<Char>::BasicCodeDecoder(const BasicDecodeParams<Char>& params)
    : prefix_(params.prefix), suffix_(params.suffix), hex_(params.base == 16),
      // With no digit place a code would consume nothing and decoding would
      // never end (empty prefix, suffix absent), so a code takes at least one.
      digitLimit_(std::max(params.digitLimit, 1)), copyErrors_(params.copyErrors) {}

template <typename Char>
typename BasicCodeDecoder<Char>::Match BasicCodeDecoder<Char>::matchAt(View text, size_t at, View what, bool atEnd) {
    const size_t available = std::min(text.size() - at, what.size());
    if (text.compare(at, available, what.substr(0, available)) != 0)
        return Match::No;
    if (available < what.size())
        return atEnd ? Match::No : Match::NeedMore; // a comparison past the end of the text fails
    return Match::Yes;
}

template <typename Char>
void BasicCodeDecoder<Char>::addError(std::string* report, bool beforeCode, Char unit, uint64_t position) {
    ++errors_;
    if (!report)
        return;
    report->append("\r\nError ").append(std::to_string(errors_)).append(": ");
    if (beforeCode) {
        report->append("the ").append(std::to_string(position)).append(" char not match prefix,char ");
        appendUnit(*report, unit);
        report->append(copyErrors_ ? " has copy to result." : " has passed.");
    } else {
        appendUnit(*report, unit);
        report->append(copyErrors_ ? " is not an effect char,copy to result." : " is not an effect char,passed.");
    }
}

template <typename Char> void BasicCodeDecoder<Char>::emitCode(String& result) const {
    if constexpr (kBytes<Char>)
        result.push_back(static_cast<char>(value_));
    else
        result.push_back(value_ >= kBeyondUnicode || (value_ >= 0xD800 && value_ <= 0xDFFF)
                             ? U'\uFFFD'
                             : static_cast<char32_t>(value_));
}

template <typename Char>
size_t BasicCodeDecoder<Char>::run(View text, bool atEnd, String& result, std::string* report) {
    // A code ends at its suffix; without a suffix at the next prefix; without
    // either only by its digit limit or the end of the text.
    const View terminator = !suffix_.empty() ? View(suffix_) : View(prefix_);
    const size_t length = text.size();
    size_t p = 0;
    // Every `break` leaves the loop where the next step needs units not yet
    // fed; at the end of the text it only happens once all is decoded.
    for (;;) {
        if (stage_ == Stage::Prefix) {
            if (p == length)
                break;
            const Match prefix = matchAt(text, p, prefix_, atEnd);
            if (prefix == Match::NeedMore)
                break;
            if (prefix == Match::No) {
                addError(report, true, text[p], consumed_ + p);
                if (copyErrors_)
                    result.push_back(text[p]);
                ++p;
                continue;
            }
            p += prefix_.size();
            places_ = 0;
            value_ = 0;
            stage_ = Stage::Digits;
        } else if (stage_ == Stage::Digits) {
            bool codeEnds = places_ >= digitLimit_;
            if (!codeEnds && p == length) {
                if (!atEnd)
                    break;
                codeEnds = true;
            }
            if (!codeEnds && !terminator.empty()) {
                const Match ends = matchAt(text, p, terminator, atEnd);
                if (ends == Match::NeedMore)
                    break;
                codeEnds = ends == Match::Yes;
            }
            if (codeEnds) {
                // Every code started yields a unit, 0 when it has no digit.
                emitCode(result);
                stage_ = Stage::Close;
                continue;
            }
            const int digit = digitValue(text[p], hex_);
            if (digit >= 0) {
                const uint32_t next = value_ * (hex_ ? 16u : 10u) + static_cast<uint32_t>(digit);
                // A byte is the value modulo 256, kept so as it grows.
                if constexpr (kBytes<Char>)
                    value_ = next & 0xFFu;
                else
                    value_ = std::min(next, kBeyondUnicode);
            } else {
                // An unusable unit still takes one digit place; a copy of it
                // goes ahead of the code's own unit.
                addError(report, false, text[p], consumed_ + p);
                if (copyErrors_)
                    result.push_back(text[p]);
            }
            ++p;
            ++places_;
        } else {
            if (p == length)
                break;
            // A suffix is consumed when present; when it is missing (or empty)
            // the next code's prefix is looked for right here.
            if (!suffix_.empty()) {
                const Match suffix = matchAt(text, p, suffix_, atEnd);
                if (suffix == Match::NeedMore)
                    break;
                if (suffix == Match::Yes)
                    p += suffix_.size();
            }
            stage_ = Stage::Prefix;
        }
    }
    consumed_ += p;
    return p;
}

template <typename Char> void BasicCodeDecoder<Char>::feed(View chunk, String& result, std::string* report) {
    if (pending_.empty()) {
        // Decode straight from the chunk; keep only the undecided tail.
        const size_t used = run(chunk, false, result, report);
        pending_.assign(chunk.substr(used));
        return;
    }
    pending_.append(chunk);
    pending_.erase(0, run(pending_, false, result, report));
}

template <typename Char> void BasicCodeDecoder<Char>::finish(String& result, std::string* report) {
    run(pending_, true, result, report);
    pending_.clear();
    consumed_ = 0;
    errors_ = 0;
    stage_ = Stage::Prefix;
}

template class BasicCodeDecoder<char>;
template class BasicCodeDecoder<char32_t>;

namespace {

template <typename Char>
BasicDecodeOutput<Char> decodeWhole(std::basic_string_view<Char> text, const BasicDecodeParams<Char>& params) {
    BasicDecodeOutput<Char> out;
    BasicCodeDecoder<Char> decoder(params);
    decoder.feed(text, out.result, &out.report);
    decoder.finish(out.result, &out.report);
    return out;
}

} // namespace

DecodeOutput DecodeCodes(std::string_view text, const DecodeParams& params) {
    return decodeWhole(text, params);
}

CodePointOutput DecodeCodes(std::u32string_view text, const CodePointParams& params) {
    return decodeWhole(text, params);
}

} // namespace qh
