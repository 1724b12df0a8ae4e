#include "text_arguments.h"

#include "cli_support.h"

#include <cstdio>
#include <langinfo.h>
#include <locale.h>

namespace qh::cli {

const char* const kEncodingHelp =
    "  --encoding NAME the texts of the command line are read in the locale's code page and taken\n"
    "                  in NAME: GBK (the GUI's default), UTF-8, UTF-16LE, UTF-16BE, GB18030, Big5,\n"
    "                  Shift_JIS or ISO-8859-1; a character NAME cannot hold is an error\n";

namespace {

// The character set of the user's locale (LC_ALL, LC_CTYPE, LANG), as iconv
// names it. The process's own locale stays "C": only this lookup uses it.
std::string localeCharset() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (!locale)
        locale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    if (!locale)
        return "ANSI_X3.4-1968";
    const std::string charset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return charset;
}

} // namespace

std::optional<CodePage> ParseEncoding(const std::string& command, const std::string& name) {
    const std::optional<CodePage> page = FindCodePage(name);
    if (!page) {
        std::string known;
        for (const CodePage each : kCodePages)
            known += (known.empty() ? "" : ", ") + std::string(CodePageName(each));
        UsageError(command, "unknown code page '" + name + "' (known: " + known + ")");
    }
    return page;
}

std::optional<std::u32string> ArgumentCharacters(const std::string& option, const std::string& text) {
    const std::string charset = localeCharset();
    std::optional<std::u32string> characters = DecodeCharset(text, charset);
    if (!characters)
        PrintError(option + ": the text is not valid in the locale's code page (" + charset + ")");
    return characters;
}

bool ConvertArgument(const std::string& option, std::string& text, CodePage page) {
    const std::optional<std::u32string> characters = ArgumentCharacters(option, text);
    if (!characters)
        return false;
    EncodedText encoded = EncodeText(*characters, page);
    if (encoded.unrepresentable) {
        PrintError(option + ": " + DescribeCharacter(*encoded.unrepresentable) + " cannot be written in " +
                   std::string(CodePageName(page)));
        return false;
    }
    text = std::move(encoded.bytes);
    return true;
}

std::string DescribeCharacter(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    const std::optional<std::string> shown =
        c >= 0x20 ? EncodeCharset(std::u32string(1, c), localeCharset()) : std::nullopt;
    return shown ? "'" + *shown + "' (" + code + ")" : std::string(code);
}

} // namespace qh::cli
