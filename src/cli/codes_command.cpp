#include "codes_command.h"

#include "code_decoder.h"
#include "code_encoder.h"

#include <functional>
#include <optional>

namespace qh::cli {
namespace {

constexpr const char* kEncodeUsage = "Usage: quillhorn-cli codes encode [--hex] [--lower] [--width N] [--prefix P] "
                                     "[--suffix S] [FILE]\n";
constexpr const char* kEncodeHelp = "Writes one numeric code per input byte (decimal unless --hex), each wrapped in\n"
                                    "the prefix and the suffix and padded with zeros to N digits. With no FILE, or\n"
                                    "when FILE is -, reads standard input. No line end is added.\n";
constexpr const char* kDecodeUsage = "Usage: quillhorn-cli codes decode (--dec|--hex) [--prefix P] [--suffix S] "
                                     "[--copy-errors] [--report] [FILE]\n";
constexpr const char* kDecodeHelp = "Writes the byte of every numeric code in the input: decimal codes of up to 3\n"
                                    "digits (--dec) or hexadecimal codes of up to 2 (--hex), each after the prefix\n"
                                    "and closed by the suffix, the prefix or the digit limit. Bytes that are no part\n"
                                    "of a code are dropped, or copied to the output with --copy-errors; --report\n"
                                    "writes one numbered line per such byte to standard error. With no FILE, or\n"
                                    "when FILE is -, reads standard input.\n";

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
};

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
        return kExitOk;
    }
    options.prefix = common.prefix;
    options.suffix = common.suffix;

    if (!DistinctFiles(common.file, OutputTarget{}))
        return kExitUsage;
    InputFile input(common.file);
    if (!input.ok())
        return kExitUsage;
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
        return kExitOk;
    }
    if (base == 0 || baseTwice)
        return UsageError("codes decode", "exactly one of --dec and --hex is required");

    if (!DistinctFiles(common.file, OutputTarget{}))
        return kExitUsage;
    InputFile input(common.file);
    if (!input.ok())
        return kExitUsage;
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
