#include "codes_command.h"

#include "code_encoder.h"

namespace qh::cli {
namespace {

constexpr const char* kCodesHelp = "Usage: quillhorn-cli codes encode [--hex] [--lower] [--width N] [--prefix P] "
                                   "[--suffix S] [FILE]\n"
                                   "Writes one numeric code per input byte (decimal unless --hex), each wrapped in\n"
                                   "the prefix and the suffix and padded with zeros to N digits. With no FILE, or\n"
                                   "when FILE is -, reads standard input. No line end is added.\n";

bool isNumber(const std::string& text) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char ch : text)
        if (ch < '0' || ch > '9')
            return false;
    return true;
}

int runEncode(const Arguments& args) {
    EncodeOptions options;
    std::string file;
    bool haveFile = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (arg == "--help") {
            std::fputs(kCodesHelp, stdout);
            return kExitOk;
        } else if (arg == "--hex") {
            options.base = CodeBase::Hexadecimal;
        } else if (arg == "--lower") {
            options.lowerCase = true;
        } else if (arg == "--width") {
            std::string width;
            if (!value(width) || !isNumber(width) || std::stoi(width) > kMaxCodeWidth)
                return UsageError("codes", "--width needs a number from 0 to " + std::to_string(kMaxCodeWidth));
            options.width = std::stoi(width);
        } else if (arg == "--prefix") {
            if (!value(options.prefix))
                return UsageError("codes", "--prefix needs a value");
        } else if (arg == "--suffix") {
            if (!value(options.suffix))
                return UsageError("codes", "--suffix needs a value");
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return UsageError("codes", "unknown option '" + arg + "'");
        } else if (haveFile) {
            return UsageError("codes", "only one FILE may be given");
        } else {
            file = arg;
            haveFile = true;
        }
    }

    InputFile input(file);
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
    return std::fflush(stdout) == 0 ? kExitOk : kExitUsage;
}

} // namespace

int RunCodes(const Arguments& args) {
    if (args.empty() || args[0] == "--help") {
        std::fputs(kCodesHelp, args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args[0] == "encode")
        return runEncode(args);
    return UsageError("codes", "unknown subcommand '" + args[0] + "'");
}

} // namespace qh::cli
