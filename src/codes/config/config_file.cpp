#include "config_file.h"

#include "atomic_file.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

namespace vyst::ansi {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

excep readError(const std::string& fileName) {
    return excep(excep::CannotRead, "Cannot open file " + fileName + " for read.");
}

excep tooLongError() {
    return excep(excep::LineTooLong,
                 "Bad config file format: line longer than " + std::to_string(kMaxLineBytes) + " bytes.");
}

// A decimal integer as a stream extraction reads it: blanks skipped, one sign,
// digits up to the first other byte. Empty when there is no digit or the number
// does not fit in 32 bits.
std::optional<int> leadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::string_view(" \t\n\v\f\r").find(text[i]) != std::string_view::npos) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || text[i] < '0' || text[i] > '9') {
        return std::nullopt;
    }
    const std::int64_t limit =
        negative ? -std::int64_t{std::numeric_limits<int>::min()} : std::numeric_limits<int>::max();
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace

void ConfigFile::Load(const std::string& fileName) {
    fileName_ = fileName;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        throw readError(fileName);
    }
    lines_.clear();

    // Lines are split at LF; a CR right before the LF belongs to the line end.
    // A line that cannot fit is rejected as soon as it is known to be too long,
    // and a read error is never taken for the end of the file: either would
    // otherwise lose the rest of the file at the next save.
    std::string pending;
    char chunk[4096];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        if (got == 0) {
            if (std::ferror(file.get())) {
                throw readError(fileName);
            }
            break;
        }
        std::string_view rest(chunk, got);
        while (!rest.empty()) {
            const std::size_t lf = rest.find('\n');
            pending.append(rest.substr(0, lf));
            if (pending.size() > kMaxLineBytes + 1) { // one more for a CR of a CR LF
                throw tooLongError();
            }
            if (lf == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(lf + 1);
            if (!pending.empty() && pending.back() == '\r') {
                pending.pop_back();
            }
            appendLine(pending);
            pending.clear();
        }
    }
    // The last line may lack its line end; a CR there is part of the line.
    if (!pending.empty()) {
        appendLine(pending);
    }
}

void ConfigFile::appendLine(const std::string& text) {
    if (text.size() > kMaxLineBytes) {
        throw tooLongError();
    }
    lines_.push_back(ParseConfigLine(text));
}

void ConfigFile::Save() {
    // Every line is checked before anything is written: a value holding a line
    // feed, or a line too long to load, would come back as other lines or none.
    std::string content;
    for (const ConfigLine& line : lines_) {
        if (!ReadsBackUnchanged(line)) {
            throw excep(excep::BadLine, "Bad config line: \"" + line.name.substr(0, 64) +
                                            "\" would not read back the same after saving.");
        }
        content += FormatConfigLine(line);
        content += "\r\n";
    }
    if (!ReplaceFileAtomically(fileName_, content)) {
        throw excep(excep::CannotWrite, "Cannot open file " + fileName_ + " for write.");
    }
}

std::size_t ConfigFile::findOption(const std::string& option, const std::string& domain) const {
    std::string_view current; // options above the first domain line are in none
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ConfigLine& line = lines_[i];
        if (line.kind == 'd') {
            current = line.name;
        } else if (line.kind == 'o' && line.name == option && (domain.empty() || current == domain)) {
            return i;
        }
    }
    throw excep(excep::NoOption, "No Such Option Find.");
}

std::string ConfigFile::GetValue(const std::string& option, const std::string& domain) const {
    return lines_[findOption(option, domain)].value;
}

bool ConfigFile::GetBool(const std::string& option, const std::string& domain) const {
    return GetValue(option, domain) == "true";
}

int ConfigFile::GetInt(const std::string& option, const std::string& domain) const {
    const std::optional<int> value = leadingInt(GetValue(option, domain));
    if (!value) {
        throw excep(excep::NotInteger, "The value is not integer number.");
    }
    return *value;
}

void ConfigFile::SetValue(const std::string& option, const std::string& value, const std::string& domain) {
    lines_[findOption(option, domain)].value = value;
}

void ConfigFile::SetInt(const std::string& option, int value, const std::string& domain) {
    SetValue(option, std::to_string(value), domain);
}

void ConfigFile::AddOption(const std::string& option, const std::string& value, const std::string& domain) {
    std::size_t anchor = lines_.size();
    if (domain.empty()) {
        anchor = lines_.empty() ? lines_.size() : 0;
    } else {
        for (std::size_t i = 0; i < lines_.size() && anchor == lines_.size(); ++i) {
            if (lines_[i].kind == 'd' && lines_[i].name == domain) {
                anchor = i;
            }
        }
    }
    if (anchor == lines_.size()) {
        throw excep(excep::NoDomain, "No such domain find.");
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(anchor) + 1, ConfigLine{'o', option, value});
}

void ConfigFile::AddBool(const std::string& option, bool value, const std::string& domain) {
    AddOption(option, value ? "true" : "false", domain);
}

void ConfigFile::AddInt(const std::string& option, int value, const std::string& domain) {
    AddOption(option, std::to_string(value), domain);
}

} // namespace vyst::ansi
