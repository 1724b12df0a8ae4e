#include "code_decoder.h"

#include <algorithm>

namespace qh {
namespace {

// The value of a digit of the base, or -1 for an unusable byte. Bytes from
// 0x80 up (halves of double-byte characters) are never digits.
int digitValue(unsigned char byte, bool hex) {
    if (byte >= '0' && byte <= '9')
        return byte - '0';
    if (hex && byte >= 'a' && byte <= 'f')
        return byte - 'a' + 10;
    if (hex && byte >= 'A' && byte <= 'F')
        return byte - 'A' + 10;
    return -1;
}

} // namespace

int DigitLimitFor(int base) {
    return base == 16 ? 2 : 3;
}

DecodeParams MakeDecodeParams(int base, std::string prefix, std::string suffix, bool copyErrors) {
    return {std::move(prefix), std::move(suffix), base, DigitLimitFor(base), copyErrors};
}

CodeDecoder::CodeDecoder(const DecodeParams& params)
    : prefix_(params.prefix), suffix_(params.suffix), hex_(params.base == 16),
      // With no digit place a code would consume nothing and decoding would
      // never end (empty prefix, suffix absent), so a code takes at least one.
      digitLimit_(std::max(params.digitLimit, 1)), copyErrors_(params.copyErrors) {}

CodeDecoder::Match CodeDecoder::matchAt(std::string_view text, size_t at, std::string_view what, bool atEnd) {
    const size_t available = std::min(text.size() - at, what.size());
    if (text.compare(at, available, what.substr(0, available)) != 0)
        return Match::No;
    if (available < what.size())
        return atEnd ? Match::No : Match::NeedMore; // a comparison past the end of the text fails
    return Match::Yes;
}

void CodeDecoder::addError(std::string* report, bool beforeCode, unsigned char byte, uint64_t position) {
    ++errors_;
    if (!report)
        return;
    report->append("\r\nError ").append(std::to_string(errors_)).append(": ");
    if (beforeCode) {
        report->append("the ").append(std::to_string(position)).append(" char not match prefix,char ");
        report->push_back(static_cast<char>(byte));
        report->append(copyErrors_ ? " has copy to result." : " has passed.");
    } else {
        report->push_back(static_cast<char>(byte));
        report->append(copyErrors_ ? " is not an effect char,copy to result." : " is not an effect char,passed.");
    }
}

size_t CodeDecoder::run(std::string_view text, bool atEnd, std::string& result, std::string* report) {
    // A code ends at its suffix; without a suffix at the next prefix; without
    // either only by its digit limit or the end of the text.
    const std::string_view terminator = !suffix_.empty() ? suffix_ : prefix_;
    const size_t length = text.size();
    size_t p = 0;
    // Every `break` leaves the loop where the next step needs bytes not yet
    // fed; at the end of the text it only happens once all is decoded.
    for (;;) {
        if (stage_ == Stage::Prefix) {
            if (p == length)
                break;
            const Match prefix = matchAt(text, p, prefix_, atEnd);
            if (prefix == Match::NeedMore)
                break;
            if (prefix == Match::No) {
                const auto byte = static_cast<unsigned char>(text[p]);
                addError(report, true, byte, consumed_ + p);
                if (copyErrors_)
                    result.push_back(static_cast<char>(byte));
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
                // Every code started yields a byte, 0 when it has no digit.
                result.push_back(static_cast<char>(value_));
                stage_ = Stage::Close;
                continue;
            }
            const auto byte = static_cast<unsigned char>(text[p]);
            const int digit = digitValue(byte, hex_);
            if (digit >= 0) {
                // Kept modulo 256 as it grows: the byte is the value modulo 256.
                value_ = (value_ * (hex_ ? 16u : 10u) + static_cast<unsigned>(digit)) & 0xFFu;
            } else {
                // An unusable byte still takes one digit place; a copy of it
                // goes ahead of the code's own byte.
                addError(report, false, byte, consumed_ + p);
                if (copyErrors_)
                    result.push_back(static_cast<char>(byte));
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

void CodeDecoder::feed(std::string_view chunk, std::string& result, std::string* report) {
    if (pending_.empty()) {
        // Decode straight from the chunk; keep only the undecided tail.
        const size_t used = run(chunk, false, result, report);
        pending_.assign(chunk.substr(used));
        return;
    }
    pending_.append(chunk);
    pending_.erase(0, run(pending_, false, result, report));
}

void CodeDecoder::finish(std::string& result, std::string* report) {
    run(pending_, true, result, report);
    pending_.clear();
    consumed_ = 0;
    errors_ = 0;
    stage_ = Stage::Prefix;
}

DecodeOutput DecodeCodes(std::string_view text, const DecodeParams& params) {
    DecodeOutput out;
    CodeDecoder decoder(params);
    decoder.feed(text, out.result, &out.report);
    decoder.finish(out.result, &out.report);
    return out;
}

} // namespace qh
