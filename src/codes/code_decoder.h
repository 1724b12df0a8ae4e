// Numeric character codes back to bytes: each code, decimal or hexadecimal,
// optionally introduced by a prefix and closed by a suffix, yields one byte.
// Decoding never fails: every unusable input byte becomes one numbered entry of
// an error report and is dropped or copied into the result, as asked.
//
// The same engine reads texts of characters in code-point mode: a code is then
// a character's Unicode code point, of any number of digits, and the prefix,
// the suffix and the unusable input are characters (shown in UTF-8 in the
// report). A code above U+10FFFF or in the surrogate range yields U+FFFD.
// Plain code without Qt, shared by the GUI and the CLI.
#ifndef QUILLHORN_CODE_DECODER_H
#define QUILLHORN_CODE_DECODER_H

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace qh {

// Char is char for bytes, char32_t for characters in code-point mode.
template <typename Char> struct BasicDecodeParams {
    std::basic_string<Char> prefix; // in front of every code ("head" in the settings file)
    std::basic_string<Char> suffix; // closes a code ("end" in the settings file)
    int base = 10;                  // 10 or 16; any value other than 16 decodes decimal
    int digitLimit = 3;             // most digit places one code may take; values below 1 act as 1
    bool copyErrors = false;        // true: unusable input is copied into the result
};
using DecodeParams = BasicDecodeParams<char>;
using CodePointParams = BasicDecodeParams<char32_t>;

// The digit limit of code-point mode: a code takes as many digits as it has.
inline constexpr int kAnyWidth = std::numeric_limits<int>::max();

// The digit limit a base implies: 2 for 16, 3 otherwise.
int DigitLimitFor(int base);

// DecodeParams for a base, with its digit limit.
DecodeParams MakeDecodeParams(int base, std::string prefix, std::string suffix, bool copyErrors);
// Code-point parameters for a base: codes of any width.
CodePointParams MakeCodePointParams(int base, std::u32string prefix, std::u32string suffix, bool copyErrors);

template <typename Char> struct BasicDecodeOutput {
    std::basic_string<Char> result; // every decoded byte or character, zeros included
    std::string report;             // one entry per error, each starting with CR LF
};
using DecodeOutput = BasicDecodeOutput<char>;
using CodePointOutput = BasicDecodeOutput<char32_t>;

// Decodes in pieces: feed the text in chunks of any size, then call finish().
// A prefix, suffix or code may straddle two chunks; the result and the report
// are the same as for the whole text at once, whatever the split. Memory stays
// bounded by the chunk size plus the prefix and suffix lengths.
template <typename Char> class BasicCodeDecoder {
public:
    using String = std::basic_string<Char>;
    using View = std::basic_string_view<Char>;

    explicit BasicCodeDecoder(const BasicDecodeParams<Char>& params);

    // Appends what can be decided so far to `result` and, when `report` is not
    // null, the error entries to `report` (numbering goes on either way).
    void feed(View chunk, String& result, std::string* report);
    // Ends the text: decodes what was held back. The decoder then starts afresh.
    void finish(String& result, std::string* report);

private:
    enum class Stage { Prefix, Digits, Close };
    enum class Match { Yes, No, NeedMore };

    // Decodes `text` as far as it can be decided; returns the units used up.
    size_t run(View text, bool atEnd, String& result, std::string* report);
    static Match matchAt(View text, size_t at, View what, bool atEnd);
    void addError(std::string* report, bool beforeCode, Char unit, uint64_t position);
    void emitCode(String& result) const;

    String prefix_;
    String suffix_;
    bool hex_;
    int digitLimit_;
    bool copyErrors_;

    String pending_;        // units not yet decided on
    uint64_t consumed_ = 0; // units of the text before pending_
    uint64_t errors_ = 0;
    Stage stage_ = Stage::Prefix;
    int places_ = 0;     // digit places of the current code used so far
    uint32_t value_ = 0; // the current code's value: modulo 256 for bytes, capped above U+10FFFF for characters
};
using CodeDecoder = BasicCodeDecoder<char>;
using CodePointDecoder = BasicCodeDecoder<char32_t>;

// One-shot forms. No state between calls: the error numbering starts at 1.
DecodeOutput DecodeCodes(std::string_view text, const DecodeParams& params);
CodePointOutput DecodeCodes(std::u32string_view text, const CodePointParams& params);

} // namespace qh

#endif
