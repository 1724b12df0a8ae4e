// One line of a settings file: how its bytes are read into a ConfigLine and how
// a ConfigLine is written back. Load, Save and the save-time check share these,
// so what Save writes is exactly what Load reads.
#ifndef QUILLHORN_CONFIG_LINE_H
#define QUILLHORN_CONFIG_LINE_H

#include <cstddef>
#include <string>
#include <string_view>

namespace vyst::ansi {

// The longest line a settings file may hold, without its line end.
inline constexpr std::size_t kMaxLineBytes = 1023;

struct ConfigLine {
    char kind; // 'd' domain, 'o' option, 'n' comment
    std::string name;
    std::string value;

    bool operator==(const ConfigLine&) const = default;
};

// Parses one line (without its line end) by its first byte. Throws excep with
// BadDomain for "[" without "]", NoEquals for an option without "=" (a blank
// line included).
ConfigLine ParseConfigLine(std::string_view line);

// The bytes of the line as written to the file, without the line end.
std::string FormatConfigLine(const ConfigLine& line);

// True when the formatted line fits, holds no line feed and parses back to the
// same line, so a save followed by a load gives it back unchanged.
bool ReadsBackUnchanged(const ConfigLine& line);

} // namespace vyst::ansi

#endif
