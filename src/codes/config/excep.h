// The one exception type of the settings file library. It derives from nothing,
// so callers catch it by its own type; the code tells the failure apart and the
// message is the text shown to the user.
#ifndef QUILLHORN_CONFIG_EXCEP_H
#define QUILLHORN_CONFIG_EXCEP_H

#include <string>
#include <utility>

namespace vyst::ansi {

class excep {
public:
    static constexpr int CannotRead = 1;  // Load: the file cannot be opened or read
    static constexpr int CannotWrite = 2; // Save: the file cannot be written or replaced
    static constexpr int BadDomain = 3;   // Load: a "[" line without "]"
    static constexpr int NoEquals = 4;    // Load: an option line without "=", or a blank line
    static constexpr int NoOption = 5;    // lookups: no matching option
    static constexpr int NotInteger = 6;  // GetInt: the value is not a 32-bit decimal integer
    static constexpr int NoDomain = 7;    // AddOption: no such domain (or no line at all)
    static constexpr int LineTooLong = 8; // Load: a line of more than kMaxLineBytes bytes
    static constexpr int BadLine = 9;     // Save: a line that would not read back as it is

    excep(int code, std::string message) : code_(code), message_(std::move(message)) {}

    int code() const { return code_; }
    std::string message() const { return message_; }

private:
    int code_;
    std::string message_;
};

} // namespace vyst::ansi

#endif
