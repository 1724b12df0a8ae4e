#include "cipher_command.h"

#include "base64.h"
#include "byte_string.h"
#include "des.h"
#include "output_file.h"
#include "same_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace qh::cli {

const char* const kCipherCommandsHelp = "  des encrypt    DES encryption of a file in the GUI's file layout\n"
                                        "  des decrypt    DES decryption of such a file\n"
                                        "  base64         Base64 encoding, or decoding with -d\n";

namespace {

// The GUI's message for a key it refuses.
constexpr const char* kKeyMessage = "密匙必须为 8 个字节.";

constexpr const char* kDesUsage =
    "Usage: quillhorn-cli des encrypt|decrypt (-k KEYTEXT | -K BYTESTRING) INPUT OUTPUT\n";
constexpr const char* kDesHelp =
    "Encrypts or decrypts the file INPUT into OUTPUT with DES under an 8-byte key, in the\n"
    "file layout of the GUI's DES tool: 1024-byte chunks, the final one complement-padded.\n"
    "OUTPUT is replaced only when the command succeeds; it may not be INPUT.\n"
    "  -k KEYTEXT     the bytes of KEYTEXT as given, at least 8; the first 8 are used\n"
    "                 (the GUI takes a typed key as GBK bytes: give a key with other than\n"
    "                 ASCII characters with -K to match it)\n"
    "  -K BYTESTRING  a byte string such as \"01 23 45 67 89 AB CD EF\" (at least 8 characters);\n"
    "                 the first 8 bytes are used, missing bytes are zero\n"
    "Exit status: 0 done, 1 decryption failed (wrong key or damaged file), 2 usage error,\n"
    "unreadable input or unwritable output.\n";

constexpr const char* kBase64Usage = "Usage: quillhorn-cli base64 [-d] [INPUT [OUTPUT]]\n";
constexpr const char* kBase64Help =
    "Encodes INPUT to Base64 (RFC 4648, \"=\" padding, no line breaks), or decodes it with -d.\n"
    "INPUT and OUTPUT default to standard input and output, also when given as -. Decoding\n"
    "skips characters outside the alphabet, line breaks included, and ends at an \"=\" in the\n"
    "third or fourth place of a group. A named OUTPUT is replaced only when the command\n"
    "succeeds; it may not be INPUT.\n"
    "  -d, --decode   decode instead of encode\n";

// Input bytes per encoding step: a multiple of 3, so the pieces join to one
// unbroken Base64 text.
constexpr std::size_t kEncodeStep = 3 * 256 * 1024;

bool isStream(const std::string& name) {
    return name.empty() || name == "-";
}

std::string quoted(const std::string& name) {
    return "'" + name + "'";
}

// Why `path` cannot be opened for reading, for a message.
std::string readFailure(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::strerror(errno);
    std::fclose(file);
    return "read error";
}

std::string sameFileMessage(const std::string& input, const std::string& output) {
    return quoted(input) + " and " + quoted(output) + " are the same file; nothing written";
}

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
    std::vector<std::string> paths;
    bool endOfOptions = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (endOfOptions || arg.size() < 2 || arg[0] != '-') {
            paths.push_back(arg);
        } else if (arg == "--") {
            endOfOptions = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kDesUsage, stdout);
            std::fputs(kDesHelp, stdout);
            return kExitOk;
        } else if (arg == "-k" || arg == "-K") {
            if (keyText)
                return UsageError(command, "only one key (-k or -K) may be given");
            if (i + 1 >= args.size())
                return UsageError(command, arg + " needs a key");
            keyText = args[++i];
            byteString = arg == "-K";
        } else {
            return UsageError(command, "unknown option '" + arg + "'");
        }
    }
    if (!keyText)
        return UsageError(command, "a key (-k KEYTEXT or -K BYTESTRING) is required");
    if (paths.size() != 2)
        return UsageError(command, "INPUT and OUTPUT are required");
    // The key is checked before the paths, as the GUI does.
    const std::optional<DesKey> key = desKey(*keyText, byteString);
    if (!key)
        return kExitUsage;
    const std::string& input = paths[0];
    const std::string& output = paths[1];
    if (SameFile(input, output)) {
        PrintError(sameFileMessage(input, output));
        return kExitUsage;
    }
    const int result = encrypt ? DesEncryptFile(input, output, *key) : DesDecryptFile(input, output, *key);
    switch (result) {
    case kDesOk:
        return kExitOk;
    case kDesCipherFailed:
        PrintError(encrypt ? "encryption failed" : "decryption failed");
        return kExitFailed;
    case kDesCannotRead:
        PrintError(input + ": " + readFailure(input));
        return kExitUsage;
    case kDesCannotWrite:
        PrintError(output + ": cannot create or write");
        return kExitUsage;
    case kDesSameFile:
        PrintError(sameFileMessage(input, output));
        return kExitUsage;
    default:
        PrintError("unexpected result " + std::to_string(result));
        return kExitUsage;
    }
}

namespace {

// Where the Base64 command writes: standard output, or a named file replaced
// only when everything went well.
class Sink {
public:
    explicit Sink(const std::string& name) : name_(name), toStdout_(isStream(name)) {}

    bool open() {
        if (toStdout_ || file_.Open(name_))
            return true;
        PrintError(name_ + ": cannot create");
        return false;
    }
    bool write(std::string_view bytes) {
        if (toStdout_)
            return WriteStdout(bytes);
        if (bytes.empty() || file_.Write(bytes.data(), bytes.size()))
            return true;
        PrintError(name_ + ": write error");
        return false;
    }
    bool finish() {
        if (toStdout_)
            return FlushStdout();
        if (file_.Commit())
            return true;
        PrintError(name_ + ": write error");
        return false;
    }

private:
    std::string name_;
    bool toStdout_;
    OutputFile file_;
};

// The file that a stream name stands for, for the same-file check: standard
// input or output may be redirected to a file.
std::string fileOf(const std::string& name, const char* stream) {
    return isStream(name) ? stream : name;
}

// True when standard output is a regular file (so a comparison means something).
bool stdoutIsFile() {
    struct stat info {};
    return ::fstat(1, &info) == 0 && S_ISREG(info.st_mode);
}

bool encodeStream(InputFile& input, Sink& sink) {
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

bool decodeStream(InputFile& input, Sink& sink) {
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
    bool endOfOptions = false;
    for (const std::string& arg : args) {
        if (endOfOptions || arg.size() < 2 || arg[0] != '-') {
            paths.push_back(arg);
        } else if (arg == "--") {
            endOfOptions = true;
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
    const std::string outputName = paths.size() < 2 ? "-" : paths[1];
    if (inputName.empty() || (paths.size() == 2 && outputName.empty()))
        return UsageError("base64", "an empty file name");

    // Refused when both name one file, also through a redirection of standard
    // input or output: reading a file while writing it would lose it.
    const bool outputIsFile = !isStream(outputName) || stdoutIsFile();
    if (outputIsFile && SameFile(fileOf(inputName, "/dev/stdin"), fileOf(outputName, "/dev/stdout"))) {
        PrintError(sameFileMessage(isStream(inputName) ? "standard input" : inputName,
                                   isStream(outputName) ? "standard output" : outputName));
        return kExitUsage;
    }

    InputFile input(inputName);
    if (!input.ok())
        return kExitUsage;
    Sink sink(outputName);
    if (!sink.open())
        return kExitUsage;
    const bool ok = decode ? decodeStream(input, sink) : encodeStream(input, sink);
    return ok && sink.finish() ? kExitOk : kExitUsage;
}

} // namespace qh::cli
