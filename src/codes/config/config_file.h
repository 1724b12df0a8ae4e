// A settings file of domains ("[name]" lines), options ("name=value" lines) and
// comments ("#text" lines), held in memory line by line in file order, so that
// a load followed by a save gives the file back. Names and values are byte
// strings compared byte by byte, with case; no blank is ever trimmed. Every
// failure is thrown as excep.
#ifndef QUILLHORN_CONFIG_FILE_H
#define QUILLHORN_CONFIG_FILE_H

#include "config_line.h"
#include "excep.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vyst::ansi {

class ConfigFile {
public:
    // Stores the name first, then reads the whole file (LF or CR LF line ends).
    // A parse error leaves the lines before the bad one in the list.
    void Load(const std::string& fileName);

    // Writes every line, each ending in CR LF, to the name of the last Load,
    // replacing the file atomically: on failure the old file is left untouched.
    void Save();

    // Option lookups take the first option of that name in the domain, or
    // anywhere in the file when the domain is empty.
    std::string GetValue(const std::string& option, const std::string& domain) const;
    bool GetBool(const std::string& option, const std::string& domain) const; // value is exactly "true"
    int GetInt(const std::string& option, const std::string& domain) const;   // leading decimal integer
    void SetValue(const std::string& option, const std::string& value, const std::string& domain);
    void SetInt(const std::string& option, int value, const std::string& domain);

    // Inserts a new option directly below the domain's first line (below the
    // file's first line when the domain is empty), so the newest comes first.
    void AddOption(const std::string& option, const std::string& value, const std::string& domain);
    void AddBool(const std::string& option, bool value, const std::string& domain);
    void AddInt(const std::string& option, int value, const std::string& domain);

    const std::string& fileName() const { return fileName_; }
    const std::vector<ConfigLine>& lines() const { return lines_; }

private:
    void appendLine(const std::string& text);
    std::size_t findOption(const std::string& option, const std::string& domain) const;

    std::string fileName_;
    std::vector<ConfigLine> lines_;
};

} // namespace vyst::ansi

#endif
