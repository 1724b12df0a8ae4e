#include "code_decoder.h"
#include "code_encoder.h"

#include <gtest/gtest.h>

#include <random>

namespace qh {
namespace {

using namespace std::string_literals;

DecodeParams dec(std::string prefix, std::string suffix, bool copy = false) {
    return MakeDecodeParams(10, std::move(prefix), std::move(suffix), copy);
}
DecodeParams hex(std::string prefix, std::string suffix, bool copy = false) {
    return MakeDecodeParams(16, std::move(prefix), std::move(suffix), copy);
}

std::string passed(int number, int position, char byte) {
    return "\r\nError " + std::to_string(number) + ": the " + std::to_string(position) +
           " char not match prefix,char " + byte + " has passed.";
}
std::string badDigit(int number, char byte) {
    return "\r\nError " + std::to_string(number) + ": " + byte + " is not an effect char,passed.";
}

struct Case {
    const char* what;
    std::string text;
    DecodeParams params;
    std::string result;
    std::string report;
};

void check(const Case& c) {
    SCOPED_TRACE(c.what);
    const DecodeOutput out = DecodeCodes(c.text, c.params);
    EXPECT_EQ(out.result, c.result);
    EXPECT_EQ(out.report, c.report);
}

TEST(CodeDecoder, CodesEndAtTheTerminatorTheDigitLimitOrTheEnd) {
    const Case cases[] = {
        {"empty text", "", dec("#", ";"), "", ""},
        {"prefix and suffix", "#65;#66;", dec("#", ";"), "AB", ""},
        {"hex cut by length", "414243", hex("", ""), "ABC", ""},
        {"decimal cut by length", "656667", dec("", ""), "\x90\x9b", ""},
        {"blank suffix, last code ended by the end", "65 66 67", dec("", " "), "ABC", ""},
        {"prefix ends the code without a suffix", "#6#66", dec("#", ""), "\x06"s + "B", ""},
        {"multi-byte prefix and suffix", "0x41, 0x42, ", hex("0x", ", "), "AB", ""},
        {"hex digits in both cases", "%4a%4A", hex("%", ""), "JJ", ""},
        {"GBK by two codes", "#214;#208;", dec("#", ";"), "\xD6\xD0", ""},
        {"values wrap modulo 256", "300;999;256;", dec("", ";"), ",\xE7\0"s, ""},
        // The digit limit cuts "6566" after three places; the suffix is then
        // missing and the rest is read as bytes before the next prefix.
        {"decimal digit limit", "#6566;#65;", dec("#", ";"), "\x90"s + "A", passed(1, 4, '6') + passed(2, 5, ';')},
        {"hex digit limit", "#414;", hex("#", ";"), "A", passed(1, 3, '4') + passed(2, 4, ';')},
        // A suffix that only starts at p does not end the code.
        {"partial suffix is no terminator", "65;66;;", dec("", ";;"), "AB", badDigit(1, ';')},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(CodeDecoder, ZeroCodesAreKept) {
    const Case cases[] = {
        {"zero code in the middle", "65;0;66;", dec("", ";"), "A\0B"s, ""},
        {"a lone prefix starts a code with no digit", "#", dec("#", ""), "\0"s, ""},
        {"an empty code between suffixes", ";;", dec("", ";"), "\0\0"s, ""},
        {"empty code then prefix", "##65", dec("#", ""), "\0A"s, ""},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(CodeDecoder, UnusableBytesAreReportedAndDroppedOrCopied) {
    const Case cases[] = {
        {"byte before a prefix, ignored", "#65;x#66;", dec("#", ";"), "AB", passed(1, 4, 'x')},
        {"byte before a prefix, copied", "#65;x#66;", dec("#", ";", true), "AxB",
         "\r\nError 1: the 4 char not match prefix,char x has copy to result."},
        {"letter among decimal digits, ignored", "6a5;", dec("", ";"), "A", badDigit(1, 'a')},
        // The copy goes ahead of the code's own byte.
        {"letter among decimal digits, copied", "6a5;", dec("", ";", true), "aA",
         "\r\nError 1: a is not an effect char,copy to result."},
        {"an unusable byte takes a digit place", "4g1", hex("", ""), "\x04\x01", badDigit(1, 'g')},
        {"line end after the last code", "#65;\r\n", dec("#", ";"), "A", passed(1, 4, '\r') + passed(2, 5, '\n')},
        {"double-byte character among codes", "#1\xD6\xD0;", dec("#", ";"), "\x01",
         badDigit(1, '\xD6') + badDigit(2, '\xD0')},
        {"numbers and positions past 9", "abcdefghij#65;k", dec("#", ";"), "A",
         passed(1, 0, 'a') + passed(2, 1, 'b') + passed(3, 2, 'c') + passed(4, 3, 'd') + passed(5, 4, 'e') +
             passed(6, 5, 'f') + passed(7, 6, 'g') + passed(8, 7, 'h') + passed(9, 8, 'i') + passed(10, 9, 'j') +
             passed(11, 14, 'k')},
        {"a zero byte in the text is an unusable byte", "#6\0"s + "5;", dec("#", ";", true), "\0A"s,
         "\r\nError 1: \0 is not an effect char,copy to result."s},
    };
    for (const Case& c : cases)
        check(c);

    // Every decoding numbers its errors from 1.
    EXPECT_EQ(DecodeCodes("x", dec("#", "")).report, passed(1, 0, 'x'));
    EXPECT_EQ(DecodeCodes("x", dec("#", "")).report, passed(1, 0, 'x'));
}

TEST(CodeDecoder, OddParametersStillEnd) {
    // No digit place would consume nothing: a code takes at least one.
    EXPECT_EQ(DecodeCodes(";5;", {"", ";", 10, 0, false}).result, "\0\x05"s);
    EXPECT_EQ(DecodeCodes("12", {"", "", 10, -3, false}).result, "\x01\x02");
    // A long digit limit does not overflow: the byte is the value modulo 256.
    EXPECT_EQ(DecodeCodes("99999999999999999999", {"", "", 10, 50, false}).result, "\xFF");
    EXPECT_EQ(DecodeCodes("ffffffffffffffff01", {"", "", 16, 40, false}).result, "\x01");
}

TEST(CodeDecoder, PiecewiseDecodingEqualsOneShotAtEverySplit) {
    const Case cases[] = {
        {"multi-byte prefix and suffix", "<<65>><<x6>>y<<<<66>>>>\r\n<<6", dec("<<", ">>"), "", ""},
        {"prefix as terminator", "##65##6x##abc#", dec("##", ""), "", ""},
        {"suffix only", "41;;4;;;g1;;", hex("", ";;", true), "", ""},
        {"cut by length", "0410x9z\xD6", hex("", "", true), "", ""},
        {"overlapping prefix", "aab65aab66bab", dec("aab", "b", true), "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodeOutput whole = DecodeCodes(c.text, c.params);
        CodeDecoder decoder(c.params);
        for (size_t split = 0; split <= c.text.size(); ++split) {
            SCOPED_TRACE(split);
            DecodeOutput pieces;
            decoder.feed(std::string_view(c.text).substr(0, split), pieces.result, &pieces.report);
            decoder.feed(std::string_view(c.text).substr(split), pieces.result, &pieces.report);
            decoder.finish(pieces.result, &pieces.report); // also makes the decoder start afresh
            EXPECT_EQ(pieces.result, whole.result);
            EXPECT_EQ(pieces.report, whole.report);
        }
        DecodeOutput bytewise;
        for (char byte : c.text)
            decoder.feed(std::string_view(&byte, 1), bytewise.result, nullptr);
        decoder.finish(bytewise.result, nullptr);
        EXPECT_EQ(bytewise.result, whole.result);
    }
}

TEST(CodeDecoder, EncodedBytesDecodeBack) {
    struct Wrap {
        const char* prefix;
        const char* suffix;
    };
    // Prefixes and suffixes with no digit of either base, so nothing is ambiguous.
    const Wrap wraps[] = {{"#", ";"}, {"%", ""}, {"", ","}, {"&#x", ";"}, {"<", "><"}, {"\xD6\xD0", " "}, {"x", "xx"}};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byteValue(0, 255);
    for (CodeBase base : {CodeBase::Decimal, CodeBase::Hexadecimal}) {
        const int decodeBase = base == CodeBase::Decimal ? 10 : 16;
        for (const Wrap& wrap : wraps) {
            SCOPED_TRACE(std::string(wrap.prefix) + " " + wrap.suffix + " " + std::to_string(decodeBase));
            for (int round = 0; round < 20; ++round) {
                std::string bytes(static_cast<size_t>(round * 7), '\0');
                for (char& byte : bytes)
                    byte = static_cast<char>(byteValue(random));
                const bool lower = round % 2 != 0;
                const std::string codes = EncodeCodes(bytes, {base, lower, round % 3, wrap.prefix, wrap.suffix});
                const DecodeOutput out =
                    DecodeCodes(codes, MakeDecodeParams(decodeBase, wrap.prefix, wrap.suffix, false));
                EXPECT_EQ(out.result, bytes);
                EXPECT_EQ(out.report, "");
            }
        }
        // Without prefix and suffix only full-width codes read back.
        std::string all;
        for (int value = 0; value < 256; ++value)
            all.push_back(static_cast<char>(value));
        const std::string codes = EncodeCodes(all, {base, false, DigitLimitFor(decodeBase), "", ""});
        EXPECT_EQ(DecodeCodes(codes, MakeDecodeParams(decodeBase, "", "", true)).result, all);
    }
}

// Code-point mode: a code is a character's code point, of any width.
TEST(CodeDecoder, CodePointsOfAnyWidthGiveCharacters) {
    struct PointCase {
        std::u32string text;
        CodePointParams params;
        std::u32string result;
        std::string report;
    };
    const PointCase cases[] = {
        {U"&#20320;&#22909;", MakeCodePointParams(10, U"&#", U";", false), U"你好", ""},
        {U"\\u4F60\\u597d", MakeCodePointParams(16, U"\\u", U"", false), U"你好", ""},
        {U"\\u41\\u1F600\\u0000000041", MakeCodePointParams(16, U"\\u", U"", false), U"A\U0001F600A", ""},
        // Beyond Unicode or a surrogate: U+FFFD, and no overflow however long.
        {U"110000 D800 99999999999999999999", MakeCodePointParams(16, U"", U" ", false), U"\uFFFD\uFFFD\uFFFD", ""},
        // Unusable characters are reported (in UTF-8) and copied as characters.
        {U"中&#65;", MakeCodePointParams(10, U"&#", U";", true), U"中A",
         "\r\nError 1: the 0 char not match prefix,char \xE4\xB8\xAD has copy to result."},
    };
    for (const PointCase& c : cases) {
        const CodePointOutput out = DecodeCodes(c.text, c.params);
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(out.report, c.report);
        CodePointDecoder decoder(c.params);
        for (size_t split = 0; split <= c.text.size(); ++split) {
            CodePointOutput pieces;
            decoder.feed(std::u32string_view(c.text).substr(0, split), pieces.result, &pieces.report);
            decoder.feed(std::u32string_view(c.text).substr(split), pieces.result, &pieces.report);
            decoder.finish(pieces.result, &pieces.report);
            EXPECT_EQ(pieces.result, out.result) << "split at " << split;
        }
    }
    // And back: the encoder writes code points the decoder reads.
    const std::u32string text = U"a你\U0001F600\r\n";
    const std::u32string codes = EncodeCodePoints(text, {CodeBase::Hexadecimal, true, 4, U"\\u", U""});
    EXPECT_EQ(codes, U"\\u0061\\u4f60\\u1f600\\u000d\\u000a");
    EXPECT_EQ(DecodeCodes(codes, MakeCodePointParams(16, U"\\u", U"", false)).result, text);
    EXPECT_EQ(EncodeCodePoints(U"你好", {CodeBase::Decimal, false, 0, U"&#", U";"}), U"&#20320;&#22909;");
}

} // namespace
} // namespace qh
