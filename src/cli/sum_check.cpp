#include "sum_check.h"

#include "cli_support.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace qh::cli {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The text up to its first zero byte: names and digests end there, as in C.
std::string_view untilZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
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

bool isHexDigest(std::string_view digest, std::size_t bytes) {
    return digest.size() == 2 * bytes && digest.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

bool sameDigest(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return (x | 0x20) == (y | 0x20); }); // both are hexadecimal digits
}

// Reads the lines of one list, whatever their length.
class LineReader {
public:
    explicit LineReader(InputFile& input) : input_(input) {}
    // The next line with its line feed; false at the end or after a read error.
    bool next(std::string& line) {
        for (;;) {
            const std::size_t end = buffer_.find('\n', start_);
            if (end != std::string::npos || (atEnd_ && start_ < buffer_.size())) {
                const std::size_t stop = end == std::string::npos ? buffer_.size() : end + 1;
                line.assign(buffer_, start_, stop - start_);
                start_ = stop;
                return true;
            }
            if (atEnd_ || failed_)
                return false;
            buffer_.erase(0, start_);
            start_ = 0;
            if (!input_.read(chunk_)) {
                failed_ = true;
                return false;
            }
            atEnd_ = chunk_.empty();
            buffer_ += chunk_;
        }
    }
    bool failed() const { return failed_; }

private:
    InputFile& input_;
    std::string buffer_;
    std::string chunk_;
    std::size_t start_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

// Checks lists one after the other, with one parser for all of them: the
// form of plain lines that the first one settles holds for every list.
class Checker {
public:
    Checker(const CheckAlgorithm& algorithm, const CheckOptions& options)
        : algorithm_(algorithm), options_(options), parser_(algorithm.tag, algorithm.otherTag, algorithm.digestBytes) {}

    bool checkList(const std::string& list);

private:
    bool report() const { return options_.report != CheckOptions::Report::Status; }

    const CheckAlgorithm& algorithm_;
    const CheckOptions& options_;
    SumLineParser parser_;
};

} // namespace

SumLineParser::SumLineParser(std::string_view tag, std::string_view otherTag, std::size_t digestBytes)
    : tag_(tag), otherTag_(otherTag), digestBytes_(digestBytes) {}

// After "TAG (": "NAME) = DIGEST", the name ending at the last parenthesis.
std::optional<SumEntry> SumLineParser::parseTagged(std::string_view line, bool escaped) const {
    const std::size_t close = line.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    SumEntry entry;
    if (escaped) {
        std::optional<std::string> name = unescapeName(line.substr(0, close));
        if (!name)
            return std::nullopt;
        entry.name = untilZero(*name);
    } else {
        entry.name = untilZero(line.substr(0, close));
    }
    std::size_t i = close + 1;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size() || line[i] != '=')
        return std::nullopt;
    ++i;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    entry.digest = untilZero(line.substr(i));
    return entry;
}

std::optional<SumEntry> SumLineParser::parse(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    const bool escaped = i < line.size() && line[i] == '\\';
    if (escaped)
        ++i;
    for (const std::string_view tag : {tag_, otherTag_}) {
        if (tag.empty() || line.substr(i, tag.size()) != tag)
            continue;
        std::size_t at = i + tag.size();
        if (at < line.size() && line[at] == ' ')
            ++at;
        if (at < line.size() && line[at] == '(')
            return parseTagged(line.substr(at + 1), escaped);
        return std::nullopt;
    }
    // DIGEST, one blank, then a mode character (' ' or '*') and NAME, or NAME
    // straight away in the reversed form.
    if (line.size() - i < 2 * digestBytes_ + 2)
        return std::nullopt;
    const std::size_t start = i;
    while (i < line.size() && line[i] != '\0' && !isBlank(line[i]))
        ++i;
    if (i == line.size())
        return std::nullopt;
    SumEntry entry;
    entry.digest = line.substr(start, i - start);
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
    const std::string_view name = line.substr(i);
    if (escaped) {
        std::optional<std::string> unescaped = unescapeName(name);
        if (!unescaped)
            return std::nullopt;
        entry.name = untilZero(*unescaped);
    } else {
        entry.name = untilZero(name);
    }
    return entry;
}

namespace {

void warn(std::size_t count, const char* one, const char* many) {
    if (count > 0)
        PrintError("WARNING: " + std::to_string(count) + " " + (count == 1 ? one : many));
}

bool Checker::checkList(const std::string& list) {
    const bool fromStdin = list == "-";
    const std::string listName = QuoteName(fromStdin ? "standard input" : list);
    InputFile input(list);
    if (!input.ok())
        return false;
    LineReader reader(input);
    std::size_t lineNumber = 0;
    std::size_t improper = 0;
    std::size_t unreadable = 0;
    std::size_t mismatched = 0;
    bool properLines = false;
    bool matched = false;
    for (std::string line; reader.next(line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        if (!line.empty() && line[0] == '#')
            continue;
        if (!line.empty() && line.back() == '\r') // a list written with CR LF line ends
            line.pop_back();
        if (line.empty())
            continue;
        const std::optional<SumEntry> entry = parser_.parse(line);
        if (!entry || (fromStdin && entry->name == "-") || !isHexDigest(entry->digest, algorithm_.digestBytes)) {
            ++improper;
            if (options_.report == CheckOptions::Report::Warn)
                PrintError(listName + ": " + std::to_string(lineNumber) + ": improperly formatted " +
                           std::string(algorithm_.tag) + " checksum line");
            continue;
        }
        properLines = true;
        struct stat info {};
        if (options_.ignoreMissing && entry->name != "-" && ::stat(entry->name.c_str(), &info) != 0 && errno == ENOENT)
            continue;
        std::optional<std::string> digest;
        if (entry->name.empty()) // the stream, for InputFile
            PrintError(NameError(entry->name, ENOENT));
        else
            digest = algorithm_.digestFile(entry->name);
        const bool match = digest && sameDigest(*digest, entry->digest);
        if (!digest)
            ++unreadable;
        else if (match)
            matched = true;
        else
            ++mismatched;
        if (!report() || (match && options_.report == CheckOptions::Report::Quiet))
            continue;
        const char* verdict = !digest ? ": FAILED open or read\n" : match ? ": OK\n" : ": FAILED\n";
        if (!WriteStdout(SumLine("", entry->name, verdict, true)) || !FlushStdout())
            return false;
    }
    if (reader.failed())
        return false;
    if (!properLines) {
        PrintError(listName + ": no properly formatted checksum lines found");
        return false;
    }
    if (report()) {
        warn(improper, "line is improperly formatted", "lines are improperly formatted");
        warn(unreadable, "listed file could not be read", "listed files could not be read");
        warn(mismatched, "computed checksum did NOT match", "computed checksums did NOT match");
        if (options_.ignoreMissing && !matched)
            PrintError(listName + ": no file was verified");
    }
    return matched && mismatched == 0 && unreadable == 0 && (!options_.strict || improper == 0);
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

int CheckSumLists(const CheckAlgorithm& algorithm, const CheckOptions& options, const std::vector<std::string>& lists) {
    Checker checker(algorithm, options);
    bool ok = true;
    for (const std::string& list : lists)
        ok = checker.checkList(list) && ok;
    return ok ? kExitOk : kExitFailed;
}

} // namespace qh::cli
