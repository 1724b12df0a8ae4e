#include "codes_command.h"

#include "code_decoder.h"
#include "code_encoder.h"
#include "text_arguments.h"

#include <functional>
#include <optional>

namespace qh::cli {
namespace {

constexpr const char* kEncodeUsage = "Usage: quillhorn-cli codes encode [--hex] [--lower] [--width N] [--prefix P] "
                                     "[--suffix S] [--unicode] [--encoding NAME] [FILE]\n";
constexpr const char* kEncodeHelp =
    "Writes one numeric code per input byte (decimal unless --hex), each wrapped in\n"
    "the prefix and the suffix and padded with zeros to N digits. With no FILE, or\n"
    "when FILE is -, reads standard input. No line end is added.\n"
    "  --unicode       one code per character, its Unicode code point: the input is read in\n"
    "                  the code page of --encoding (UTF-8 without it), and the codes are written in it\n";
constexpr const char* kDecodeUsage = "Usage: quillhorn-cli codes decode (--dec|--hex) [--prefix P] [--suffix S] "
                                     "[--copy-errors] [--report] [--unicode] [--encoding NAME] [FILE]\n";
constexpr const char* kDecodeHelp =
    "Writes the byte of every numeric code in the input: decimal codes of up to 3\n"
    "digits (--dec) or hexadecimal codes of up to 2 (--hex), each after the prefix\n"
    "and closed by the suffix, the prefix or the digit limit. Bytes that are no part\n"
    "of a code are dropped, or copied to the output with --copy-errors; --report\n"
    "writes one numbered line per such byte to standard error. With no FILE, or\n"
    "when FILE is -, reads standard input.\n"
    "  --unicode       a code is a Unicode code point of any number of digits: the input is read\n"
    "                  in the code page of --encoding (UTF-8 without it), and the characters of\n"
    "                  the codes are written in it; the codes of characters it cannot hold give ?\n";

// Decoded bytes are handed out in slices of this size, so that the output and
// the report of one slice stay small whatever the input.
constexpr size_t kDecodeSlice = 64 * 1024;

bool isNumber(const std::string& text) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char ch : text)
        if (ch < '0' || ch > '9')
            return false;
    return true;
}

// The options every codes subcommand shares: --help, --prefix, --suffix and
// one FILE. `own` takes the subcommand's other options: it gets the option and
// a way to take its value, and returns an error message, or "" when the option
// was its own, or nullopt when it does not know it.
using OwnOption =
    std::function<std::optional<std::string>(const std::string&, const std::function<bool(std::string&)>&)>;

struct CommonOptions {
    std::string prefix;
    std::string suffix;
    std::string file;
    bool help = false;
    bool unicode = false;
    std::optional<CodePage> encoding;
};

// The page of the input and output texts in code-point mode.
CodePage textPage(const CommonOptions& common) {
    return common.encoding.value_or(CodePage::Utf8);
}

// The prefix and suffix in the form the command works on: bytes, converted
// by --encoding; or in code-point mode, characters (read in the locale's code
// page with --encoding, else in the text's page, UTF-8). False after a message.
bool prepareAffixes(CommonOptions& common, std::u32string& prefix, std::u32string& suffix) {
    const std::pair<const char*, std::string*> affixes[] = {{"--prefix", &common.prefix}, {"--suffix", &common.suffix}};
    for (const auto& [option, text] : affixes) {
        if (common.encoding && !ConvertArgument(option, *text, *common.encoding))
            return false;
    }
    if (!common.unicode)
        return true;
    // Converted, the texts are in the text's page either way.
    for (const auto& [text, characters] : {std::pair{&common.prefix, &prefix}, std::pair{&common.suffix, &suffix}}) {
        CodePointReader reader(textPage(common));
        reader.feed(*text, *characters);
        reader.finish(*characters);
    }
    return true;
}

// Says once, after the run, that input bytes were no text in the page.
void warnInvalidInput(const char* command, const CodePointReader& reader, CodePage page) {
    if (reader.invalidBytes() > 0)
        PrintError(std::string(command) + ": " + std::to_string(reader.invalidBytes()) +
                   (reader.invalidBytes() == 1 ? " input byte is" : " input bytes are") + " no text in " +
                   std::string(CodePageName(page)) + "; each was read as U+FFFD");
}

// Returns kExitOk when the arguments parse, else the usage error's status.
int parseOptions(const Arguments& args, CommonOptions& common, const OwnOption& own) {
    const std::string command = "codes " + args[0];
    bool haveFile = false;
    ArgumentReader reader(args, 1);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        bool tookValue = false;
        const std::function<bool(std::string&)> value = [&](std::string& into) {
            tookValue = true;
            return reader.TakeValue(into);
        };
        if (reader.IsOperand()) {
            if (haveFile)
                return UsageError(command, "only one FILE may be given");
            common.file = arg;
            haveFile = true;
        } else if (arg == "--help") {
            common.help = true;
            return kExitOk;
        } else if (arg == "--prefix") {
            if (!value(common.prefix))
                return UsageError(command, "--prefix needs a value");
        } else if (arg == "--suffix") {
            if (!value(common.suffix))
                return UsageError(command, "--suffix needs a value");
        } else if (arg == "--unicode") {
            common.unicode = true;
        } else if (arg == "--encoding") {
            std::string name;
            if (!value(name))
                return UsageError(command, "--encoding needs a code page");
            common.encoding = ParseEncoding(command, name);
            if (!common.encoding)
                return kExitUsage;
        } else {
            const std::optional<std::string> error = own(arg, value);
            if (!error)
                return UsageError(command, "unknown option '" + arg + "'");
            if (!error->empty())
                return UsageError(command, *error);
        }
        if (reader.HasInlineValue() && !tookValue)
            return UsageError(command, "option '" + arg + "' takes no value");
    }
    return kExitOk;
}

// The characters of the input's next piece, in `characters`; at the end of
// the input, those of what was left over, with `end` set. False when the
// input cannot be read (a message has been printed).
bool readCharacters(InputFile& input, CodePointReader& reader, std::string& chunk, std::u32string& characters,
                    bool& end) {
    if (!input.read(chunk))
        return false;
    characters.clear();
    end = chunk.empty();
    if (end)
        reader.finish(characters);
    else
        reader.feed(chunk, characters);
    return true;
}

int encodeCodePoints(InputFile& input, const EncodeOptions& bytesOptions, const std::u32string& prefix,
                     const std::u32string& suffix, CodePage page) {
    const CodePointEncodeOptions options{bytesOptions.base, bytesOptions.lowerCase, bytesOptions.width, prefix, suffix};
    CodePointReader reader(page);
    std::string chunk;
    std::u32string characters;
    for (bool end = false; !end;) {
        if (!readCharacters(input, reader, chunk, characters, end))
            return kExitUsage;
        if (!WriteStdout(EncodeText(EncodeCodePoints(characters, options), page).bytes))
            return kExitUsage;
    }
    warnInvalidInput("codes encode", reader, page);
    return FlushStdout() ? kExitOk : kExitUsage;
}

int runEncode(const Arguments& args) {
    EncodeOptions options;
    CommonOptions common;
    const int parsed = parseOptions(args, common, [&](const std::string& arg, const auto& value) {
        std::optional<std::string> error = std::string();
        if (arg == "--hex") {
            options.base = CodeBase::Hexadecimal;
        } else if (arg == "--lower") {
            options.lowerCase = true;
        } else if (arg == "--width") {
            std::string width;
            if (!value(width) || !isNumber(width) || std::stoi(width) > kMaxCodeWidth)
                error = "--width needs a number from 0 to " + std::to_string(kMaxCodeWidth);
            else
                options.width = std::stoi(width);
        } else {
            error.reset();
        }
        return error;
    });
    if (parsed != kExitOk)
        return parsed;
    if (common.help) {
        std::fputs(kEncodeUsage, stdout);
        std::fputs(kEncodeHelp, stdout);
        std::fputs(kEncodingHelp, stdout);
        return kExitOk;
    }
    std::u32string prefix, suffix;
    if (!prepareAffixes(common, prefix, suffix))
        return kExitUsage;
    options.prefix = common.prefix;
    options.suffix = common.suffix;

    if (!DistinctFiles(common.file, OutputTarget{}))
        return kExitUsage;
    InputFile input(common.file);
    if (!input.ok())
        return kExitUsage;
    if (common.unicode)
        return encodeCodePoints(input, options, prefix, suffix, textPage(common));
    const CodeEncoder encoder(options);
    std::string chunk;
    std::string codes;
    for (;;) {
        if (!input.read(chunk))
            return kExitUsage;
        if (chunk.empty())
            break;
        codes.clear();
        encoder.append(chunk, codes);
        if (!WriteStdout(codes))
            return kExitUsage;
    }
    return FlushStdout() ? kExitOk : kExitUsage;
}

// Writes the report verbatim: it is the same text the decoder pane shows.
bool writeReport(std::string& report) {
    if (!report.empty() && std::fwrite(report.data(), 1, report.size(), stderr) != report.size())
        return false;
    report.clear();
    return true;
}

// The report of code-point mode comes in UTF-8; it is written as the texts are,
// in the page's notation form.
bool writeCodePointReport(std::string& report, CodePage page) {
    const CodePage notation = NotationCodePage(page);
    if (notation != CodePage::Utf8 && !report.empty()) {
        std::u32string characters;
        CodePointReader reader(CodePage::Utf8);
        reader.feed(report, characters);
        reader.finish(characters);
        report = EncodeText(characters, notation).bytes;
    }
    return writeReport(report);
}

int decodeCodePoints(InputFile& input, const CodePointParams& params, bool wantReport, CodePage page) {
    CodePointDecoder decoder(params);
    CodePointReader reader(page);
    std::string reportText;
    std::string* const report = wantReport ? &reportText : nullptr;
    std::optional<char32_t> unrepresentable;
    std::string chunk;
    std::u32string characters;
    std::u32string decoded;
    // Decodes a piece of text, or ends it, and writes what came of it.
    const auto step = [&](bool end) {
        decoded.clear();
        for (size_t at = 0; at < characters.size(); at += kDecodeSlice) {
            decoder.feed(std::u32string_view(characters).substr(at, kDecodeSlice), decoded, report);
            EncodedText bytes = EncodeText(decoded, page);
            decoded.clear();
            if (!unrepresentable)
                unrepresentable = bytes.unrepresentable;
            if (!WriteStdout(bytes.bytes) || (report && !writeCodePointReport(*report, page)))
                return false;
        }
        if (end) {
            decoder.finish(decoded, report);
            EncodedText bytes = EncodeText(decoded, page);
            if (!unrepresentable)
                unrepresentable = bytes.unrepresentable;
            if (!WriteStdout(bytes.bytes) || (report && !writeCodePointReport(*report, page)))
                return false;
        }
        return true;
    };
    for (bool end = false; !end;) {
        if (!readCharacters(input, reader, chunk, characters, end))
            return kExitUsage;
        if (!step(end))
            return kExitUsage;
    }
    warnInvalidInput("codes decode", reader, page);
    if (unrepresentable)
        PrintError("codes decode: " + DescribeCharacter(*unrepresentable) + " and any other character " +
                   std::string(CodePageName(page)) + " cannot hold were written as ?");
    return FlushStdout() ? kExitOk : kExitUsage;
}

int runDecode(const Arguments& args) {
    int base = 0;
    bool baseTwice = false;
    bool copyErrors = false;
    bool wantReport = false;
    CommonOptions common;
    const int parsed = parseOptions(args, common, [&](const std::string& arg, const auto&) {
        std::optional<std::string> error = std::string();
        if (arg == "--dec" || arg == "--hex") {
            const int chosen = arg == "--dec" ? 10 : 16;
            baseTwice = baseTwice || (base != 0 && base != chosen);
            base = chosen;
        } else if (arg == "--copy-errors") {
            copyErrors = true;
        } else if (arg == "--report") {
            wantReport = true;
        } else {
            error.reset();
        }
        return error;
    });
    if (parsed != kExitOk)
        return parsed;
    if (common.help) {
        std::fputs(kDecodeUsage, stdout);
        std::fputs(kDecodeHelp, stdout);
        std::fputs(kEncodingHelp, stdout);
        return kExitOk;
    }
    if (base == 0 || baseTwice)
        return UsageError("codes decode", "exactly one of --dec and --hex is required");
    std::u32string prefix, suffix;
    if (!prepareAffixes(common, prefix, suffix))
        return kExitUsage;

    if (!DistinctFiles(common.file, OutputTarget{}))
        return kExitUsage;
    InputFile input(common.file);
    if (!input.ok())
        return kExitUsage;
    if (common.unicode)
        return decodeCodePoints(input, MakeCodePointParams(base, prefix, suffix, copyErrors), wantReport,
                                textPage(common));
    CodeDecoder decoder(MakeDecodeParams(base, common.prefix, common.suffix, copyErrors));
    std::string reportText;
    std::string* const report = wantReport ? &reportText : nullptr; // no report is built unless asked for
    std::string chunk;
    std::string bytes;
    for (;;) {
        if (!input.read(chunk))
            return kExitUsage;
        if (chunk.empty())
            break;
        for (size_t at = 0; at < chunk.size(); at += kDecodeSlice) {
            bytes.clear();
            decoder.feed(std::string_view(chunk).substr(at, kDecodeSlice), bytes, report);
            if (!WriteStdout(bytes) || (report && !writeReport(*report)))
                return kExitUsage;
        }
    }
    bytes.clear();
    decoder.finish(bytes, report);
    if (!WriteStdout(bytes) || (report && !writeReport(*report)))
        return kExitUsage;
    return FlushStdout() ? kExitOk : kExitUsage;
}

} // namespace

int RunCodes(const Arguments& args) {
    if (args.empty() || args[0] == "--help") {
        std::FILE* to = args.empty() ? stderr : stdout;
        std::fputs(kEncodeUsage, to);
        std::fputs(kDecodeUsage, to);
        std::fputs("Run 'quillhorn-cli codes encode --help' or 'quillhorn-cli codes decode --help' for details.\n", to);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args[0] == "encode")
        return runEncode(args);
    if (args[0] == "decode")
        return runDecode(args);
    return UsageError("codes", "unknown subcommand '" + args[0] + "'");
}

} // namespace qh::cli
