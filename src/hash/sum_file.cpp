#include "sum_file.h"

#include <algorithm>

namespace qh {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// The text up to its first zero byte: names and digests end there, as in C.
std::string_view untilZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

bool isHex(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// The name of an escaped line; nothing for an escape that is none of \\, \n, \r.
std::optional<std::string> unescapeName(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            name += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        if (text[i] == '\\')
            name += '\\';
        else if (text[i] == 'n')
            name += '\n';
        else if (text[i] == 'r')
            name += '\r';
        else
            return std::nullopt;
    }
    return name;
}

std::optional<std::string> nameOf(std::string_view text, bool escaped) {
    if (!escaped)
        return std::string(untilZero(text));
    std::optional<std::string> name = unescapeName(text);
    if (!name)
        return std::nullopt;
    return std::string(untilZero(*name));
}

// After "TAG (": "NAME) = DIGEST", the name ending at the last parenthesis.
std::optional<SumEntry> parseTagged(std::string_view line, bool escaped, DigestAlgorithm algorithm) {
    const std::size_t close = line.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    std::optional<std::string> name = nameOf(line.substr(0, close), escaped);
    if (!name)
        return std::nullopt;
    std::size_t i = close + 1;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size() || line[i] != '=')
        return std::nullopt;
    ++i;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    return SumEntry{std::string(untilZero(line.substr(i))), std::move(*name), algorithm};
}

// Whether `digest` is a digest of `algorithm`, or with none given, of any.
bool fitsDigest(std::string_view digest, std::optional<DigestAlgorithm> algorithm) {
    if (!isHex(digest))
        return false;
    if (algorithm)
        return digest.size() == 2 * InfoOf(*algorithm).digestBytes;
    return !AlgorithmsOfLength(digest.size()).empty();
}

} // namespace

bool NeedsEscape(std::string_view name, bool verdict) {
    return name.find_first_of(verdict ? "\n" : "\\\n\r") != std::string_view::npos;
}

std::string EscapeName(std::string_view name) {
    std::string text;
    for (char ch : name) {
        if (ch == '\\')
            text += "\\\\";
        else if (ch == '\n')
            text += "\\n";
        else if (ch == '\r')
            text += "\\r";
        else
            text += ch;
    }
    return text;
}

std::string SumLine(std::string_view lead, std::string_view name, std::string_view tail, bool verdict) {
    std::string line;
    const bool escaped = NeedsEscape(name, verdict);
    if (escaped)
        line += '\\';
    line.append(lead);
    line += escaped ? EscapeName(name) : std::string(name);
    line.append(tail);
    return line;
}

std::string DigestLine(DigestAlgorithm algorithm, std::string_view digest, std::string_view name, bool tagged) {
    if (tagged)
        return SumLine(std::string(InfoOf(algorithm).tag) + " (", name, ") = " + std::string(digest) + "\n", false);
    return SumLine(std::string(digest) + "  ", name, "\n", false);
}

std::optional<SumEntry> SumLineParser::Parse(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    const bool escaped = i < line.size() && line[i] == '\\';
    if (escaped)
        ++i;
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        if (only_ && algorithm != *only_)
            continue;
        const DigestAlgorithmInfo& info = InfoOf(algorithm);
        for (const std::string_view tag : {info.tag, info.opensslTag}) {
            if (tag.empty() || line.substr(i, tag.size()) != tag)
                continue;
            std::size_t at = i + tag.size();
            if (at < line.size() && line[at] == ' ')
                ++at;
            if (at < line.size() && line[at] == '(') {
                std::optional<SumEntry> entry = parseTagged(line.substr(at + 1), escaped, algorithm);
                if (entry && !fitsDigest(entry->digest, algorithm))
                    return std::nullopt;
                return entry;
            }
            // A list of one algorithm takes no other line that starts with its tag.
            if (only_)
                return std::nullopt;
        }
    }
    std::optional<SumEntry> entry = parsePlain(line, i, escaped);
    if (entry && !fitsDigest(entry->digest, only_))
        return std::nullopt;
    return entry;
}

// DIGEST, one blank, then a mode character (' ' or '*') and NAME, or NAME
// straight away in the reversed form.
std::optional<SumEntry> SumLineParser::parsePlain(std::string_view line, std::size_t i, bool escaped) {
    const std::size_t shortestDigest = only_ ? 2 * InfoOf(*only_).digestBytes : 4;
    if (line.size() - i < shortestDigest + 2)
        return std::nullopt;
    const std::size_t start = i;
    while (i < line.size() && line[i] != '\0' && !isBlank(line[i]))
        ++i;
    if (i == line.size())
        return std::nullopt;
    SumEntry entry;
    entry.digest = line.substr(start, i - start);
    entry.algorithm = only_;
    ++i;
    const bool modeCharacter = i + 1 < line.size() && (line[i] == ' ' || line[i] == '*');
    if (!modeCharacter) {
        if (reversed_ == Reversed::No)
            return std::nullopt;
        reversed_ = Reversed::Yes;
    } else if (reversed_ != Reversed::Yes) {
        reversed_ = Reversed::No;
        ++i;
    }
    std::optional<std::string> name = nameOf(line.substr(i), escaped);
    if (!name)
        return std::nullopt;
    entry.name = std::move(*name);
    return entry;
}

std::optional<std::string_view> SumLineBody(std::string_view line) {
    if (!line.empty() && line[0] == '#')
        return std::nullopt;
    if (!line.empty() && line.back() == '\r') // a list written with CR LF line ends
        line.remove_suffix(1);
    if (line.empty())
        return std::nullopt;
    return line;
}

bool SumListReader::fill() {
    buffer_.erase(0, start_);
    start_ = 0;
    constexpr std::size_t kRun = 64 * 1024;
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kRun);
    const long long got = read_(reinterpret_cast<std::uint8_t*>(buffer_.data() + old), kRun);
    buffer_.resize(old + static_cast<std::size_t>(std::max(got, 0LL)));
    if (got < 0)
        failed_ = true;
    atEnd_ = got == 0;
    return got > 0;
}

bool SumListReader::Next(std::string& line) {
    tooLong_ = false;
    bool skipping = false; // the rest of an overlong line
    for (;;) {
        const std::size_t end = buffer_.find('\n', start_);
        const bool whole = end != std::string::npos || (atEnd_ && start_ < buffer_.size());
        if (whole) {
            const std::size_t stop = end == std::string::npos ? buffer_.size() : end;
            if (skipping || (longest_ != 0 && stop - start_ > longest_)) {
                line.clear();
                tooLong_ = true;
            } else {
                line.assign(buffer_, start_, stop - start_);
            }
            start_ = end == std::string::npos ? stop : stop + 1;
            return true;
        }
        if (atEnd_ || failed_) {
            if (!skipping || failed_)
                return false;
            line.clear(); // an overlong last line with no line feed
            tooLong_ = true;
            return true;
        }
        if (longest_ != 0 && buffer_.size() - start_ > longest_) {
            // Keep no more of it than is needed to find its end.
            skipping = true;
            start_ = buffer_.size();
        }
        if (!fill() && failed_)
            return false;
    }
}

std::optional<DigestAlgorithm> AlgorithmOfListName(std::string_view fileName) {
    std::string name;
    for (char c : fileName.substr(fileName.rfind('/') == std::string_view::npos ? 0 : fileName.rfind('/') + 1))
        name += lower(c);
    if (name.size() > 4 && name.ends_with(".txt"))
        name.resize(name.size() - 4);
    const std::size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        const std::string command(InfoOf(algorithm).command);
        for (const std::string& form : {command, command + "sum", command + "sums"})
            if (name == form || extension == form)
                return algorithm;
    }
    return std::nullopt;
}

std::optional<ExpectedDigest> ParseExpectedDigest(std::string_view text) {
    // Surrounding blanks and line ends are not part of what was meant.
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    ExpectedDigest expected;
    std::string digits;
    for (char c : text)
        if (!isBlank(c) && c != '\r' && c != '\n') // a long digest may come wrapped
            digits += lower(c);
    if (isHex(digits) && !AlgorithmsOfLength(digits.size()).empty()) {
        expected.digest = digits;
        expected.algorithms = AlgorithmsOfLength(digits.size());
        return expected;
    }
    if (text.find('\n') != std::string_view::npos)
        return std::nullopt;
    SumLineParser parser;
    std::optional<SumEntry> entry = parser.Parse(text);
    if (!entry)
        return std::nullopt;
    for (char c : entry->digest)
        expected.digest += lower(c);
    expected.name = std::move(entry->name);
    expected.algorithms =
        entry->algorithm ? std::vector<DigestAlgorithm>{*entry->algorithm} : AlgorithmsOfLength(expected.digest.size());
    return expected;
}

bool SameDigest(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return lower(x) == lower(y); });
}

} // namespace qh
