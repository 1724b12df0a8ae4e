// Numeric character codes back to bytes: each code, decimal or hexadecimal,
// optionally introduced by a prefix and closed by a suffix, yields one byte.
// Decoding never fails: every unusable input byte becomes one numbered entry of
// an error report and is dropped or copied into the result, as asked.
// Plain code without Qt, shared by the GUI and the CLI.
#ifndef QUILLHORN_CODE_DECODER_H
#define QUILLHORN_CODE_DECODER_H

#include <cstdint>
#include <string>
#include <string_view>

namespace qh {

struct DecodeParams {
    std::string prefix;      // bytes in front of every code ("head" in the settings file)
    std::string suffix;      // bytes that close a code ("end" in the settings file)
    int base = 10;           // 10 or 16; any value other than 16 decodes decimal
    int digitLimit = 3;      // most digit places one code may take; values below 1 act as 1
    bool copyErrors = false; // true: unusable bytes are copied into the result
};

// The digit limit a base implies: 2 for 16, 3 otherwise.
int DigitLimitFor(int base);

// DecodeParams for a base, with its digit limit.
DecodeParams MakeDecodeParams(int base, std::string prefix, std::string suffix, bool copyErrors);

struct DecodeOutput {
    std::string result; // every decoded byte, zero bytes included
    std::string report; // one entry per error, each starting with CR LF
};

// Decodes in pieces: feed the text in chunks of any size, then call finish().
// A prefix, suffix or code may straddle two chunks; the result and the report
// are the same as for the whole text at once, whatever the split. Memory stays
// bounded by the chunk size plus the prefix and suffix lengths.
class CodeDecoder {
public:
    explicit CodeDecoder(const DecodeParams& params);

    // Appends what can be decided so far to `result` and, when `report` is not
    // null, the error entries to `report` (numbering goes on either way).
    void feed(std::string_view chunk, std::string& result, std::string* report);
    // Ends the text: decodes what was held back. The decoder then starts afresh.
    void finish(std::string& result, std::string* report);

private:
    enum class Stage { Prefix, Digits, Close };
    enum class Match { Yes, No, NeedMore };

    // Decodes `text` as far as it can be decided; returns the bytes used up.
    size_t run(std::string_view text, bool atEnd, std::string& result, std::string* report);
    static Match matchAt(std::string_view text, size_t at, std::string_view what, bool atEnd);
    void addError(std::string* report, bool beforeCode, unsigned char byte, uint64_t position);

    std::string prefix_;
    std::string suffix_;
    bool hex_;
    int digitLimit_;
    bool copyErrors_;

    std::string pending_;   // bytes not yet decided on
    uint64_t consumed_ = 0; // bytes of the text before pending_
    uint64_t errors_ = 0;
    Stage stage_ = Stage::Prefix;
    int places_ = 0;     // digit places of the current code used so far
    unsigned value_ = 0; // the current code's value, modulo 256
};

// One-shot form. No state between calls: the error numbering starts at 1.
DecodeOutput DecodeCodes(std::string_view text, const DecodeParams& params);

} // namespace qh

#endif
