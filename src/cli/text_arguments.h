// Texts given on the command line (-s, -k, --prefix, --suffix) and the option
// --encoding NAME. Without it a text is the bytes the shell passes; with it the
// text is read in the locale's code page and converted into NAME, and a
// character NAME cannot hold is an error rather than a silent '?'.
#ifndef QUILLHORN_TEXT_ARGUMENTS_H
#define QUILLHORN_TEXT_ARGUMENTS_H

#include "code_page.h"

#include <optional>
#include <string>

namespace qh::cli {

// The help line of --encoding, shared by the commands that take it.
extern const char* const kEncodingHelp;

// The page named by --encoding; nothing after a usage message for another name.
std::optional<CodePage> ParseEncoding(const std::string& command, const std::string& name);

// The characters of a command-line text, read in the locale's code page;
// nothing after a message naming `option` when the text is not valid there.
std::optional<std::u32string> ArgumentCharacters(const std::string& option, const std::string& text);

// Converts a command-line text from the locale's code page into `page`; false
// after a message naming `option` (the text is not valid in the locale's code
// page, or `page` cannot hold one of its characters).
bool ConvertArgument(const std::string& option, std::string& text, CodePage page);

// "'X' (U+XXXX)", the character in the locale's code page when it holds it.
std::string DescribeCharacter(char32_t c);

} // namespace qh::cli

#endif
