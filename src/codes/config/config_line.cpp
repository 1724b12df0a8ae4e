#include "config_line.h"

#include "excep.h"

namespace vyst::ansi {

ConfigLine ParseConfigLine(std::string_view line) {
    if (!line.empty() && line.front() == '#') {
        return {'n', {}, std::string(line.substr(1))};
    }
    if (!line.empty() && line.front() == '[') {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) {
            throw excep(excep::BadDomain, "Bad config file format: domain not end with ] or option start with [");
        }
        // Bytes after the "]" carry nothing and are dropped.
        return {'d', std::string(line.substr(1, close - 1)), {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        throw excep(excep::NoEquals, "Bad config file format: no = find in option.");
    }
    return {'o', std::string(line.substr(0, equals)), std::string(line.substr(equals + 1))};
}

std::string FormatConfigLine(const ConfigLine& line) {
    switch (line.kind) {
    case 'd':
        return "[" + line.name + "]";
    case 'n':
        return "#" + line.value;
    case 'o':
        return line.name + "=" + line.value;
    default:
        return "# write file error: unexcept config type.";
    }
}

bool ReadsBackUnchanged(const ConfigLine& line) {
    const std::string text = FormatConfigLine(line);
    if (text.size() > kMaxLineBytes || text.find('\n') != std::string::npos) {
        return false;
    }
    try {
        return ParseConfigLine(text) == line;
    } catch (const excep&) {
        return false;
    }
}

} // namespace vyst::ansi
