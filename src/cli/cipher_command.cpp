#include "cipher_command.h"

#include "base64.h"
#include "byte_string.h"
#include "des.h"
#include "text_arguments.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace qh::cli {

const char* const kCipherCommandsHelp = "  des encrypt    DES encryption of a file in the GUI's file layout\n"
                                        "  des decrypt    DES decryption of such a file\n"
                                        "  base64         Base64 encoding, or decoding with -d\n";

namespace {

// The GUI's message for a key it refuses.
constexpr const char* kKeyMessage = "密匙必须为 8 个字节.";

constexpr const char* kDesUsage =
    "Usage: quillhorn-cli des encrypt|decrypt (-k KEYTEXT [--encoding NAME] | -K BYTESTRING) INPUT OUTPUT\n";
constexpr const char* kDesHelp =
    "Encrypts or decrypts INPUT into OUTPUT with DES under an 8-byte key, in the file layout\n"
    "of the GUI's DES tool: 1024-byte chunks, the final one complement-padded.\n"
    "INPUT - is standard input, OUTPUT - (or /dev/stdout) standard output; write ./- for a file\n"
    "named -. An INPUT that is not a regular file (standard input, a pipe) is copied to a\n"
    "temporary folder in $TMPDIR first, and standard output is written from one; the folder is\n"
    "removed afterwards. A named OUTPUT is replaced only when the command succeeds, through a\n"
    "link to its target; it may not be INPUT, nor exist as anything but a regular file.\n"
    "  -k KEYTEXT     the bytes of KEYTEXT as given, at least 8; the first 8 are used\n"
    "                 (the GUI takes a typed key in its code page, GBK by default: give a key\n"
    "                 with other than ASCII characters with --encoding GBK to match it)\n"
    "  -K BYTESTRING  a byte string such as \"01 23 45 67 89 AB CD EF\" (at least 8 characters);\n"
    "                 the first 8 bytes are used, missing bytes are zero\n"
    "  --encoding NAME  KEYTEXT is read in the locale's code page and taken in NAME (GBK, UTF-8,\n"
    "                 UTF-16LE, UTF-16BE, GB18030, Big5, Shift_JIS, ISO-8859-1); a character NAME\n"
    "                 cannot hold is an error\n"
    "Exit status: 0 done, 1 decryption failed (wrong key or damaged file), 2 usage error,\n"
    "unreadable input or unwritable output.\n";

constexpr const char* kBase64Usage = "Usage: quillhorn-cli base64 [-d] [INPUT [OUTPUT]]\n";
constexpr const char* kBase64Help =
    "Encodes INPUT to Base64 (RFC 4648, \"=\" padding, no line breaks), or decodes it with -d.\n"
    "INPUT and OUTPUT default to standard input and output, also when given as - (OUTPUT also\n"
    "as /dev/stdout). Decoding skips characters outside the alphabet, line breaks included, and\n"
    "ends at an \"=\" in the third or fourth place of a group. A named OUTPUT is replaced only\n"
    "when the command succeeds, through a link to its target; it may not be INPUT, nor exist as\n"
    "anything but a regular file.\n"
    "  -d, --decode   decode instead of encode\n";

// Input bytes per encoding step: a multiple of 3, so the pieces join to one
// unbroken Base64 text.
constexpr std::size_t kEncodeStep = 3 * 256 * 1024;

// The key of -k or -K, or nothing after the GUI's message when it would refuse it.
std::optional<DesKey> desKey(const std::string& text, bool byteString) {
    if (text.size() < 8) {
        PrintError(kKeyMessage);
        return std::nullopt;
    }
    const std::string bytes = byteString ? ParseByteString(text) : text;
    DesKey key{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), key.size()), key.begin());
    return key;
}

} // namespace

int RunDes(const Arguments& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::FILE* to = args.empty() ? stderr : stdout;
        std::fputs(kDesUsage, to);
        if (!args.empty())
            std::fputs(kDesHelp, to);
        return args.empty() ? kExitUsage : kExitOk;
    }
    const bool encrypt = args[0] == "encrypt";
    if (!encrypt && args[0] != "decrypt")
        return UsageError("des", "unknown subcommand '" + args[0] + "'");
    const std::string command = "des " + args[0];

    std::optional<std::string> keyText;
    bool byteString = false;
    std::optional<CodePage> encoding;
    std::vector<std::string> paths;
    ArgumentReader reader(args, 1);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        if (reader.IsOperand()) {
            paths.push_back(arg);
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kDesUsage, stdout);
            std::fputs(kDesHelp, stdout);
            return kExitOk;
        } else if (arg == "-k" || arg == "-K") {
            if (keyText)
                return UsageError(command, "only one key (-k or -K) may be given");
            keyText.emplace();
            if (!reader.TakeValue(*keyText))
                return UsageError(command, arg + " needs a key");
            byteString = arg == "-K";
        } else if (arg == "--encoding") {
            std::string name;
            if (!reader.TakeValue(name))
                return UsageError(command, "--encoding needs a code page");
            encoding = ParseEncoding(command, name);
            if (!encoding)
                return kExitUsage;
        } else {
            return UsageError(command, "unknown option '" + arg + "'");
        }
    }
    if (!keyText)
        return UsageError(command, "a key (-k KEYTEXT or -K BYTESTRING) is required");
    if (paths.size() != 2)
        return UsageError(command, "INPUT and OUTPUT are required");
    // A byte string is no text: --encoding leaves it as it is.
    if (encoding && !byteString && !ConvertArgument("-k", *keyText, *encoding))
        return kExitUsage;
    // The key is checked before the paths, as the GUI does.
    const std::optional<DesKey> key = desKey(*keyText, byteString);
    if (!key)
        return kExitUsage;
    const std::string& inputName = paths[0];
    const std::optional<OutputTarget> target = ResolveOutput(paths[1]);
    if (!target || !DistinctFiles(inputName, *target))
        return kExitUsage;

    // The engine reads and writes regular files by name: anything else goes
    // through the scratch folder.
    InputFile input(inputName);
    if (!input.ok())
        return kExitUsage;
    ScratchFolder scratch;
    const std::string inputPath = RegularFileOf(input, inputName, scratch);
    if (inputPath.empty())
        return kExitUsage;
    const std::string outputPath = target->toStdout ? scratch.file("output") : target->path;
    if (outputPath.empty())
        return kExitUsage;
    errno = 0;
    const int result =
        encrypt ? DesEncryptFile(inputPath, outputPath, *key) : DesDecryptFile(inputPath, outputPath, *key);
    // The engine returns right after the call that failed; its clean-up keeps errno.
    const int error = errno;
    switch (result) {
    case kDesOk:
        break;
    case kDesCipherFailed:
        PrintError(encrypt ? "encryption failed" : "decryption failed");
        return kExitFailed;
    case kDesCannotRead:
        PrintError(QuoteName(input.displayName()) + ": read error" +
                   (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
        return kExitUsage;
    case kDesCannotWrite:
        PrintError(QuoteName(outputPath) + ": cannot create or write" +
                   (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
        return kExitUsage;
    case kDesSameFile: // checked above; the paths changed since
        PrintError(QuoteName(inputPath) + " and " + QuoteName(outputPath) + " are the same file; nothing written");
        return kExitUsage;
    default:
        PrintError("unexpected result " + std::to_string(result));
        return kExitUsage;
    }
    if (!target->toStdout)
        return kExitOk;
    OutputSink sink(*target);
    return CopyToOutput(outputPath, sink) ? kExitOk : kExitUsage;
}

namespace {

bool encodeStream(InputFile& input, OutputSink& sink) {
    std::string chunk;
    std::string pending; // fewer than 3 bytes carried to the next chunk
    for (;;) {
        if (!input.read(chunk))
            return false;
        if (chunk.empty())
            break;
        pending += chunk;
        const std::size_t whole = pending.size() - pending.size() % 3;
        for (std::size_t at = 0; at < whole; at += kEncodeStep)
            if (!sink.write(Base64Encode(std::string_view(pending).substr(at, std::min(kEncodeStep, whole - at)))))
                return false;
        pending.erase(0, whole);
    }
    return sink.write(Base64Encode(pending));
}

bool decodeStream(InputFile& input, OutputSink& sink) {
    Base64Decoder decoder;
    std::string chunk;
    std::string bytes;
    for (;;) {
        if (!input.read(chunk))
            return false;
        if (chunk.empty())
            return true;
        bytes.clear();
        decoder.Feed(chunk, bytes);
        if (!sink.write(bytes))
            return false;
    }
}

} // namespace

int RunBase64(const Arguments& args) {
    bool decode = false;
    std::vector<std::string> paths;
    ArgumentReader reader(args);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        if (reader.IsOperand()) {
            paths.push_back(arg);
        } else if (reader.HasInlineValue()) {
            return UsageError("base64", "option '" + arg + "' takes no value");
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kBase64Usage, stdout);
            std::fputs(kBase64Help, stdout);
            return kExitOk;
        } else if (arg == "-d" || arg == "--decode") {
            decode = true;
        } else {
            return UsageError("base64", "unknown option '" + arg + "'");
        }
    }
    if (paths.size() > 2)
        return UsageError("base64", "at most INPUT and OUTPUT may be given");
    const std::string inputName = paths.empty() ? "-" : paths[0];
    if (inputName.empty())
        return UsageError("base64", "an empty file name");
    const std::optional<OutputTarget> target = ResolveOutput(paths.size() < 2 ? "-" : paths[1]);
    if (!target || !DistinctFiles(inputName, *target))
        return kExitUsage;

    InputFile input(inputName);
    if (!input.ok())
        return kExitUsage;
    OutputSink sink(*target);
    if (!sink.open())
        return kExitUsage;
    const bool ok = decode ? decodeStream(input, sink) : encodeStream(input, sink);
    return ok && sink.finish() ? kExitOk : kExitUsage;
}

} // namespace qh::cli
