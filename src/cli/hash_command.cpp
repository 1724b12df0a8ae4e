#include "hash_command.h"

#include "byte_string.h"
#include "crc.h"
#include "digest_algorithm.h"
#include "hash_value.h"
#include "md5.h"
#include "multi_digest.h"
#include "sha.h"
#include "sum_check.h"
#include "sum_file.h"
#include "text_arguments.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace qh::cli {

const char* const kHashCommandsHelp =
    "  md5, sha1, sha224, sha256, sha384, sha512   digests of files, texts and hexadecimal bytes\n"
    "  crc16, crc-ccitt, crc32                     check values of files, texts and hexadecimal bytes\n";

namespace {

// The messages of the GUI's hexadecimal inputs, which -x repeats.
constexpr const char* kHashValueMessage = "散列值必须由十六进制数组成,用空格分隔.";
constexpr const char* kByteStringMessage = "字节串格式错误!";

bool isSha(DigestAlgorithm algorithm) {
    return algorithm != DigestAlgorithm::Md5 && !IsCrc(algorithm);
}

enum class CrcForm { Hex, Dec, Bin };

struct Format {
    bool upper = false;
    bool shortMd5 = false; // the 16 middle digits
    bool spaced = false;   // a blank between bytes (the GUI's blank after the last one would blur "DIGEST  NAME")
    CrcForm crcForm = CrcForm::Hex;
};

std::string toHex(std::string_view bytes, bool upper, bool spaced) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (unsigned char byte : bytes) {
        if (spaced && !text.empty())
            text += ' ';
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// The digest as the GUI shows it under the same options.
std::string formatDigest(DigestAlgorithm algorithm, std::string_view digest, const Format& format) {
    if (IsCrc(algorithm) && format.crcForm != CrcForm::Hex) {
        std::uint32_t value = 0;
        for (unsigned char byte : digest)
            value = value << 8 | byte;
        if (format.crcForm == CrcForm::Dec)
            return std::to_string(value);
        return FormatBitString(value, static_cast<int>(digest.size() * 8), true);
    }
    const std::string text = toHex(digest, format.upper, format.spaced);
    return format.shortMd5 ? text.substr(8, 16) : text;
}

// The digest of a file or of standard input ("-"); nothing when it cannot be
// opened or read (the reason is already on standard error).
std::optional<std::string> digestFile(DigestAlgorithm algorithm, const std::string& name) {
    if (name.empty()) { // InputFile would take it for standard input
        PrintError(NameError(name, ENOENT));
        return std::nullopt;
    }
    InputFile input(name);
    if (!input.ok())
        return std::nullopt;
    PassResult pass = DigestStream(std::span(&algorithm, 1),
                                   [&input](std::uint8_t* to, std::size_t length) { return input.read(to, length); });
    if (pass.status != PassStatus::Ok)
        return std::nullopt;
    return std::move(pass.digests[0]);
}

struct Input {
    bool isFile = true;
    std::string name;    // the file's name, or the quoted text
    std::string bytes;   // the bytes of -s or -x
    bool isText = false; // -s: --encoding converts it
};

struct Options {
    Format format;
    std::vector<Input> inputs;
    bool check = false;
    CheckOptions checkOptions;
    std::vector<std::string> checkOnly; // options given that only --check takes
    bool binary = false;                // -b: '*' between digest and name, as sha256sum -b writes
    bool modeGiven = false;             // -b or -t
    bool tag = false;
    bool zero = false;
    bool help = false;
    std::optional<CodePage> encoding; // --encoding
};

// The bytes of -x, parsed as the GUI parses its hexadecimal input for the
// same algorithm; nothing (after the GUI's message) when it would refuse it.
std::optional<std::string> parseHexInput(DigestAlgorithm algorithm, const std::string& text) {
    if (algorithm == DigestAlgorithm::Md5) {
        std::optional<std::string> bytes = ParseMd5HashValue(text);
        if (!bytes)
            PrintError(kHashValueMessage);
        return bytes;
    }
    if (!IsByteStringText(text)) {
        PrintError(kByteStringMessage);
        return std::nullopt;
    }
    return ParseByteString(text);
}

// Returns kExitOk when the arguments parse, else the status to exit with.
int parseOptions(DigestAlgorithm algorithm, const Arguments& args, Options& options) {
    const std::string command(InfoOf(algorithm).command);
    ArgumentReader reader(args);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        if (reader.IsOperand()) {
            options.inputs.push_back({true, arg, {}});
            continue;
        }
        const bool takesValue = arg == "-s" || arg == "-x" || arg == "--format" || arg == "--encoding";
        if (reader.HasInlineValue() && !takesValue)
            return UsageError(command, "option '" + arg + "' takes no value");
        std::string text;
        using Report = CheckOptions::Report;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return kExitOk;
        } else if (arg == "-s") {
            if (!reader.TakeValue(text))
                return UsageError(command, "-s needs a text");
            options.inputs.push_back({false, "\"" + text + "\"", text, true});
        } else if (arg == "-x") {
            if (!reader.TakeValue(text))
                return UsageError(command, "-x needs a hexadecimal text");
            std::optional<std::string> bytes = parseHexInput(algorithm, text);
            if (!bytes)
                return kExitUsage;
            options.inputs.push_back({false, "\"" + text + "\"", std::move(*bytes)});
        } else if (arg == "--encoding") {
            if (!reader.TakeValue(text))
                return UsageError(command, "--encoding needs a code page");
            options.encoding = ParseEncoding(command, text);
            if (!options.encoding)
                return kExitUsage;
        } else if (arg == "-c" || arg == "--check") {
            options.check = true;
        } else if (arg == "--status" || arg == "--quiet" || arg == "-w" || arg == "--warn") {
            // The last of the three counts, as in coreutils.
            options.checkOptions.report = arg == "--status"  ? Report::Status
                                          : arg == "--quiet" ? Report::Quiet
                                                             : Report::Warn;
            options.checkOnly.push_back(arg == "-w" ? "--warn" : arg);
        } else if (arg == "--strict") {
            options.checkOptions.strict = true;
            options.checkOnly.push_back(arg);
        } else if (arg == "--ignore-missing") {
            options.checkOptions.ignoreMissing = true;
            options.checkOnly.push_back(arg);
        } else if (arg == "-b" || arg == "--binary" || arg == "-t" || arg == "--text") {
            options.binary = arg == "-b" || arg == "--binary";
            options.modeGiven = true;
        } else if (arg == "--tag") {
            options.tag = true;
        } else if (arg == "-z" || arg == "--zero") {
            options.zero = true;
        } else if (arg == "--upper") {
            options.format.upper = true;
        } else if (arg == "--short" && algorithm == DigestAlgorithm::Md5) {
            options.format.shortMd5 = true;
        } else if (arg == "--spaced" && isSha(algorithm)) {
            options.format.spaced = true;
        } else if (arg == "--format" && IsCrc(algorithm)) {
            if (!reader.TakeValue(text) || (text != "hex" && text != "dec" && text != "bin"))
                return UsageError(command, "--format needs hex, dec or bin");
            options.format.crcForm = text == "hex" ? CrcForm::Hex : text == "dec" ? CrcForm::Dec : CrcForm::Bin;
        } else {
            return UsageError(command, "unknown option '" + arg + "'");
        }
    }
    // The combinations coreutils refuses, in its words.
    if (options.check) {
        if (options.tag)
            return UsageError(command, "the --tag option is meaningless when verifying checksums");
        if (options.modeGiven)
            return UsageError(command, "the --binary and --text options are meaningless when verifying checksums");
        if (options.zero)
            return UsageError(command, "the --zero option is not supported when verifying checksums");
        if (std::any_of(options.inputs.begin(), options.inputs.end(), [](const Input& in) { return !in.isFile; }))
            return UsageError(command, "-s and -x cannot be used with --check");
    } else if (!options.checkOnly.empty()) {
        return UsageError(command,
                          "the " + options.checkOnly.back() + " option is meaningful only when verifying checksums");
    }
    if (options.encoding)
        for (Input& input : options.inputs)
            if (input.isText && !ConvertArgument("-s", input.bytes, *options.encoding))
                return kExitUsage;
    return kExitOk;
}

int runDigests(DigestAlgorithm algorithm, const Options& options) {
    const std::string tag(InfoOf(algorithm).tag);
    int status = kExitOk;
    for (const Input& input : options.inputs) {
        std::optional<std::string> digest;
        if (input.isFile) {
            digest = digestFile(algorithm, input.name);
        } else {
            AnyDigest running(algorithm);
            running.Update(input.bytes.data(), input.bytes.size());
            digest = running.Finish();
        }
        if (!digest) {
            status = kExitUsage;
            continue;
        }
        const std::string text = formatDigest(algorithm, *digest, options.format);
        std::string line;
        if (options.zero) // NUL-ended lines need no escapes
            line = (options.tag ? tag + " (" + input.name + ") = " + text
                                : text + (options.binary ? " *" : "  ") + input.name) +
                   '\0';
        else if (options.tag)
            line = SumLine(tag + " (", input.name, ") = " + text + "\n", false);
        else
            line = SumLine(text + (options.binary ? " *" : "  "), input.name, "\n", false);
        if (!WriteStdout(line))
            return kExitUsage;
    }
    return FlushStdout() ? status : kExitUsage;
}

int runCheck(DigestAlgorithm algorithm, const Options& options) {
    CheckAlgorithm check;
    check.algorithm = algorithm;
    check.digestFile = [&](const std::string& name) -> std::optional<std::string> {
        const std::optional<std::string> digest = digestFile(algorithm, name);
        if (!digest)
            return std::nullopt;
        return toHex(*digest, false, false);
    };
    std::vector<std::string> lists;
    for (const Input& input : options.inputs)
        lists.push_back(input.name);
    if (lists.empty())
        lists.push_back("-");
    return CheckSumLists(check, options.checkOptions, lists);
}

void printHelp(DigestAlgorithm algorithm) {
    const DigestAlgorithmInfo& info = InfoOf(algorithm);
    const std::string name(info.command);
    const std::string tag(info.tag);
    const char* own = algorithm == DigestAlgorithm::Md5 ? "[--short]"
                      : isSha(algorithm)                ? "[--spaced]"
                                                        : "[--format hex|dec|bin]";
    const std::string like = IsCrc(algorithm) ? "sha256sum" : name + "sum";
    std::printf("Usage: quillhorn-cli %s [--upper] %s [--tag] [-b|-t] [-z] [--encoding NAME] [-s TEXT]...\n"
                "       [-x HEXTEXT]... [FILE]...\n"
                "       quillhorn-cli %s -c [--status|--quiet|--warn] [--strict] [--ignore-missing] [FILE]...\n"
                "Writes one line \"DIGEST  NAME\" per input, as %s does: for each FILE (standard\n"
                "input when none is given, or for -), each -s TEXT and each -x HEXTEXT, in the order given.\n"
                "  -s TEXT         the bytes of TEXT; NAME is the text in double quotes\n",
                name.c_str(), own, name.c_str(), like.c_str());
    std::fputs(kEncodingHelp, stdout);
    if (algorithm == DigestAlgorithm::Md5)
        std::fputs("  -x HEXTEXT      pairs of hexadecimal digits, blanks and tabs between pairs:\n"
                   "                  \"AD 3E\" and \"AD3E\" are the bytes AD 3E; \"ADE\" is refused\n"
                   "  --short         the 16 middle digits\n",
                   stdout);
    else
        std::fputs("  -x HEXTEXT      a byte string, three characters per byte: \"AD 3E B2\" is the bytes\n"
                   "                  AD 3E B2, \"AD3EB2\" the bytes AD EB\n",
                   stdout);
    if (isSha(algorithm))
        std::fputs("  --spaced        a blank between bytes\n", stdout);
    if (IsCrc(algorithm))
        std::fputs("  --format FORM   hex (with leading zeros, the default), dec, or bin (base 2 in groups of 4)\n",
                   stdout);
    std::printf("  --upper         upper-case hexadecimal digits\n"
                "  --tag           write tagged lines \"%s (NAME) = DIGEST\"\n"
                "  -b, --binary    write \"DIGEST *NAME\"; -t, --text: \"DIGEST  NAME\" (the default);\n"
                "                  files are read as they are either way\n"
                "  -z, --zero      end each line with a zero byte instead of a line feed, names unescaped\n"
                "  -c, --check     read the FILEs as sum lists (standard input when none is given, or for -)\n"
                "                  in the forms %s writes (\"DIGEST  NAME\", \"DIGEST *NAME\", \"%s (NAME) =\n"
                "                  DIGEST\") or OpenSSL writes (\"%s(NAME)= DIGEST\"), digest each NAME and print\n"
                "                  \"NAME: OK\", \"NAME: FAILED\" or \"NAME: FAILED open or read\"\n"
                "With --check only:\n"
                "  --ignore-missing  say nothing of listed files that do not exist\n"
                "  --quiet         leave out the OK lines\n"
                "  --status        print nothing; the exit status tells\n"
                "  --strict        fail on improperly formatted lines\n"
                "  -w, --warn      name each improperly formatted line\n"
                "Exit status: 0 done; 1 with --check, a file that did not match or could not be read, a list\n"
                "without a proper line, or (--strict) an improper line; 2 usage error or an unreadable FILE.\n",
                tag.c_str(), like.c_str(), tag.c_str(),
                info.opensslTag.empty() ? tag.c_str() : std::string(info.opensslTag).c_str());
}

int runHash(DigestAlgorithm algorithm, const Arguments& args) {
    Options options;
    if (const int parsed = parseOptions(algorithm, args, options); parsed != kExitOk)
        return parsed;
    if (options.help) {
        printHelp(algorithm);
        return kExitOk;
    }
    if (options.check)
        return runCheck(algorithm, options);
    if (options.inputs.empty())
        options.inputs.push_back({true, "-", {}});
    return runDigests(algorithm, options);
}

} // namespace

bool IsHashCommand(std::string_view command) {
    return FindDigestAlgorithm(command).has_value();
}

int RunHash(std::string_view command, const Arguments& given) {
    const std::optional<DigestAlgorithm> algorithm = FindDigestAlgorithm(command);
    if (!algorithm)
        return UsageError(command, "unknown command");
    // Flags written together, as coreutils takes them: -cw is -c -w.
    Arguments args;
    bool options = true;
    for (std::size_t at = 0; at < given.size(); ++at) {
        const std::string& arg = given[at];
        const bool isValue = at > 0 && (given[at - 1] == "-s" || given[at - 1] == "-x" || given[at - 1] == "--format" ||
                                        given[at - 1] == "--encoding");
        options = options && (arg != "--" || isValue);
        if (options && !isValue && arg.size() > 2 && arg[0] == '-' &&
            arg.find_first_not_of("bctwz", 1) == std::string::npos) {
            for (std::size_t i = 1; i < arg.size(); ++i)
                args.push_back({'-', arg[i]});
        } else {
            args.push_back(arg);
        }
    }
    return runHash(*algorithm, args);
}

} // namespace qh::cli
