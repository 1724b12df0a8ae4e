#include "code_page.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <mutex>

namespace qh {

// Characters reach iconv as the bytes of char16_t and char32_t in memory.
static_assert(std::endian::native == std::endian::little, "characters are handed to iconv as UTF-16LE and UTF-32LE");

namespace {

constexpr const char* kUtf16 = "UTF-16LE";
constexpr const char* kUtf32 = "UTF-32LE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

struct PageInfo {
    CodePage page;
    std::string_view name;
    const char* iconvName;
};

constexpr PageInfo kPages[] = {
    {CodePage::Gbk, "GBK", "CP936"},
    {CodePage::Utf8, "UTF-8", "UTF-8"},
    {CodePage::Utf16Le, "UTF-16LE", "UTF-16LE"},
    {CodePage::Utf16Be, "UTF-16BE", "UTF-16BE"},
    {CodePage::Gb18030, "GB18030", "GB18030"},
    {CodePage::Big5, "Big5", "CP950"},
    {CodePage::ShiftJis, "Shift_JIS", "CP932"},
    {CodePage::Latin1, "ISO-8859-1", "ISO-8859-1"},
};

const PageInfo& infoOf(CodePage page) {
    return kPages[static_cast<int>(page)];
}

enum class Stop { Done, Invalid, Incomplete };

// Converts from [in, in + left) as far as it can, appending to `out`; `in`
// and `left` move past what was used. Stops at the end, at a sequence that
// cannot be converted, or at one cut off by the end of the input. Counts in
// `irreversible` what iconv converted without an error but not exactly (it
// drops the Unicode tag characters a page lacks, for one).
Stop convert(iconv_t cd, const char*& in, size_t& left, std::string& out, size_t& irreversible) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    auto* src = const_cast<char*>(in);
    Stop stop = Stop::Done;
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof buffer;
        const size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc != static_cast<size_t>(-1)) {
            irreversible += rc;
            continue;
        }
        if (errno == E2BIG)
            continue;
        stop = errno == EINVAL ? Stop::Incomplete : Stop::Invalid;
        break;
    }
    in = src;
    return stop;
}

// One iconv descriptor, opened on first use and kept for the life of the
// process; the mutex lets any thread convert.
class SharedConverter {
public:
    template <typename Convert> auto use(const char* to, const char* from, Convert&& work) {
        std::lock_guard lock(mutex_);
        if (!opened_) {
            cd_ = iconv_open(to, from);
            opened_ = true;
        }
        return work(cd_);
    }

private:
    std::mutex mutex_;
    bool opened_ = false;
    iconv_t cd_ = kNoConverter;
};

enum class Direction { FromUtf16, FromUtf32, ToUtf16 };

SharedConverter& converter(CodePage page, Direction direction) {
    static SharedConverter converters[std::size(kPages)][3];
    return converters[static_cast<int>(page)][static_cast<int>(direction)];
}

// The page's form of the question mark that stands for a character it cannot hold.
std::string_view questionMark(CodePage page) {
    using namespace std::string_view_literals;
    if (page == CodePage::Utf16Le)
        return "?\0"sv;
    if (page == CodePage::Utf16Be)
        return "\0?"sv;
    return "?"sv;
}

// The character that starts at `in`, and the bytes it takes (a surrogate pair
// as one character, a lone surrogate as itself).
std::pair<char32_t, size_t> characterAt(const char* in, size_t left, size_t unitSize) {
    if (unitSize == 4) {
        char32_t c;
        std::memcpy(&c, in, 4);
        return {c, 4};
    }
    char16_t unit;
    std::memcpy(&unit, in, 2);
    if (unit >= 0xD800 && unit <= 0xDBFF && left >= 4) {
        char16_t next;
        std::memcpy(&next, in + 2, 2);
        if (next >= 0xDC00 && next <= 0xDFFF)
            return {0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (next - 0xDC00), 4};
    }
    return {unit, 2};
}

// Whether the text holds a Unicode tag character (U+E0000 to U+E007F), which
// iconv drops without an error when the page lacks it.
bool holdsTagCharacter(const char* in, size_t left, size_t unitSize) {
    while (left > 0) {
        const auto [c, length] = characterAt(in, left, unitSize);
        if (c >= 0xE0000 && c <= 0xE007F)
            return true;
        in += length;
        left -= length;
    }
    return false;
}

// Encodes one character at a time, so that every character iconv would
// change or drop is found and written as a question mark.
void encodeEach(iconv_t cd, const char* in, size_t left, size_t unitSize, CodePage page, EncodedText& out) {
    while (left > 0) {
        const auto [c, length] = characterAt(in, left, unitSize);
        const char* piece = in;
        size_t pieceLeft = length;
        size_t irreversible = 0;
        std::string bytes;
        if (cd != kNoConverter && convert(cd, piece, pieceLeft, bytes, irreversible) == Stop::Done &&
            irreversible == 0 && !bytes.empty()) {
            out.bytes += bytes;
        } else {
            if (!out.unrepresentable)
                out.unrepresentable = c;
            out.bytes += questionMark(page);
        }
        in += length;
        left -= length;
    }
}

EncodedText encode(const void* data, size_t units, size_t unitSize, CodePage page) {
    EncodedText out;
    out.bytes.reserve(units * 2);
    const char* in = static_cast<const char*>(data);
    size_t left = units * unitSize;
    const Direction direction = unitSize == 2 ? Direction::FromUtf16 : Direction::FromUtf32;
    converter(page, direction).use(infoOf(page).iconvName, unitSize == 2 ? kUtf16 : kUtf32, [&](iconv_t cd) {
        size_t irreversible = 0;
        while (left > 0) {
            if (cd != kNoConverter && convert(cd, in, left, out.bytes, irreversible) == Stop::Done)
                break;
            // A character the page cannot hold: one question mark for it.
            const auto [c, length] = characterAt(in, left, unitSize);
            if (!out.unrepresentable)
                out.unrepresentable = c;
            out.bytes += questionMark(page);
            in += length;
            left -= length;
        }
        if (irreversible > 0 || holdsTagCharacter(static_cast<const char*>(data), units * unitSize, unitSize)) {
            // Rare: find the characters one by one.
            out = EncodedText();
            encodeEach(cd, static_cast<const char*>(data), units * unitSize, unitSize, page, out);
        }
        return 0;
    });
    return out;
}

// Decodes `bytes` from `cd` into the bytes of UTF-16LE or UTF-32LE; an
// invalid byte becomes U+FFFD and is counted in `invalid`. A character cut off
// by the end is left for the next piece unless `atEnd`. Returns the bytes used.
size_t decodeInto(iconv_t cd, std::string_view bytes, bool atEnd, size_t unitSize, std::string& out, size_t& invalid) {
    const char* in = bytes.data();
    size_t left = bytes.size();
    size_t irreversible = 0; // every character has a form in UTF-16 and UTF-32
    while (left > 0) {
        const Stop stop = cd != kNoConverter ? convert(cd, in, left, out, irreversible) : Stop::Invalid;
        if (stop == Stop::Done || (stop == Stop::Incomplete && !atEnd))
            break;
        // A byte that starts no valid character: U+FFFD, and on with the next byte.
        out.append(unitSize == 2 ? std::string_view("\xFD\xFF", 2) : std::string_view("\xFD\xFF\0\0", 4));
        ++in;
        --left;
        ++invalid;
    }
    return bytes.size() - left;
}

template <typename Char> std::basic_string<Char> unitsOf(const std::string& bytes) {
    std::basic_string<Char> text(bytes.size() / sizeof(Char), Char());
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(Char));
    return text;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

// A strict conversion with a descriptor of its own.
std::optional<std::string> convertStrictly(std::string_view bytes, const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == kNoConverter)
        return std::nullopt;
    std::string out;
    const char* in = bytes.data();
    size_t left = bytes.size();
    size_t irreversible = 0;
    const Stop stop = convert(cd, in, left, out, irreversible);
    iconv_close(cd);
    if (stop != Stop::Done || irreversible > 0)
        return std::nullopt;
    return out;
}

} // namespace

std::string_view CodePageName(CodePage page) {
    return infoOf(page).name;
}

std::optional<CodePage> FindCodePage(std::string_view name) {
    for (const PageInfo& info : kPages)
        if (equalIgnoringCase(info.name, name))
            return info.page;
    return std::nullopt;
}

bool IsAsciiCompatible(CodePage page) {
    return page != CodePage::Utf16Le && page != CodePage::Utf16Be;
}

CodePage NotationCodePage(CodePage page) {
    return IsAsciiCompatible(page) ? page : CodePage::Utf8;
}

EncodedText EncodeText(std::u16string_view text, CodePage page) {
    return encode(text.data(), text.size(), 2, page);
}

EncodedText EncodeText(std::u32string_view text, CodePage page) {
    return encode(text.data(), text.size(), 4, page);
}

std::u16string DecodeText(std::string_view bytes, CodePage page) {
    std::string utf16;
    utf16.reserve(bytes.size() * 2);
    converter(page, Direction::ToUtf16).use(kUtf16, infoOf(page).iconvName, [&](iconv_t cd) {
        size_t invalid = 0;
        return decodeInto(cd, bytes, true, 2, utf16, invalid);
    });
    return unitsOf<char16_t>(utf16);
}

CodePointReader::CodePointReader(CodePage page) : cd_(iconv_open(kUtf32, infoOf(page).iconvName)) {}

CodePointReader::~CodePointReader() {
    if (static_cast<iconv_t>(cd_) != kNoConverter)
        iconv_close(static_cast<iconv_t>(cd_));
}

void CodePointReader::decode(std::string_view bytes, bool atEnd, std::u32string& out) {
    std::string utf32;
    utf32.reserve(bytes.size() * 4);
    const size_t used = decodeInto(static_cast<iconv_t>(cd_), bytes, atEnd, 4, utf32, invalid_);
    out += unitsOf<char32_t>(utf32);
    pending_.assign(bytes.substr(used));
}

void CodePointReader::feed(std::string_view bytes, std::u32string& out) {
    if (pending_.empty()) {
        decode(bytes, false, out);
        return;
    }
    const std::string joined = pending_ + std::string(bytes);
    decode(joined, false, out);
}

void CodePointReader::finish(std::u32string& out) {
    const std::string rest = std::move(pending_);
    decode(rest, true, out);
    pending_.clear();
}

std::optional<std::u32string> DecodeCharset(std::string_view bytes, const std::string& charset) {
    const std::optional<std::string> utf32 = convertStrictly(bytes, kUtf32, charset.c_str());
    if (!utf32)
        return std::nullopt;
    return unitsOf<char32_t>(*utf32);
}

std::optional<std::string> EncodeCharset(std::u32string_view text, const std::string& charset) {
    return convertStrictly(std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * 4),
                           charset.c_str(), kUtf32);
}

} // namespace qh
