// Text to numeric character codes: one code per byte, each wrapped in a prefix
// and a suffix, in decimal or hexadecimal, padded with zeros to a minimum width.
// Bytes are unsigned: 0x80 to 0xFF give 128 to 255 (80 to FF), so the decoder
// reads every code back. In code-point mode a code is a character's Unicode
// code point instead. Plain code without Qt, shared by the GUI and the CLI.
#ifndef QUILLHORN_CODE_ENCODER_H
#define QUILLHORN_CODE_ENCODER_H

#include <array>
#include <string>
#include <string_view>

namespace qh {

enum class CodeBase { Decimal, Hexadecimal };

struct EncodeOptions {
    CodeBase base = CodeBase::Decimal;
    bool lowerCase = false; // lower-case hexadecimal digits; no effect in decimal
    int width = 0;          // minimum digits per code, zero-padded; 0 for none
    std::string prefix;     // before every code, copied literally
    std::string suffix;     // after every code, copied literally
};

// The largest width the encoder accepts; wider requests are clamped to it.
inline constexpr int kMaxCodeWidth = 999;

// The width a fixed-length text asks for: its decimal value, leading zeros
// ignored ("" and "0" and "00" give 0, "007" gives 7), clamped to kMaxCodeWidth.
// Characters other than digits are ignored.
int ParseCodeWidth(std::string_view text);

// Encodes in pieces: feed the input in chunks of any size and the output is the
// same as for the whole input at once.
class CodeEncoder {
public:
    explicit CodeEncoder(const EncodeOptions& options);

    // Appends the codes of `bytes` to `out`.
    void append(std::string_view bytes, std::string& out) const;

private:
    std::string prefix_;
    std::string suffix_;
    std::array<std::string, 256> codes_; // the formatted code of every byte value
    size_t longestCode_ = 0;
};

// One-shot form.
std::string EncodeCodes(std::string_view bytes, const EncodeOptions& options);

// Code-point mode: one code per character, its code point, with the prefix
// and suffix given as characters.
struct CodePointEncodeOptions {
    CodeBase base = CodeBase::Decimal;
    bool lowerCase = false;
    int width = 0;
    std::u32string prefix;
    std::u32string suffix;
};
std::u32string EncodeCodePoints(std::u32string_view text, const CodePointEncodeOptions& options);

} // namespace qh

#endif
