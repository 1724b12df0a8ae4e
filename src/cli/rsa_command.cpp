#include "rsa_command.h"

#include "rsa_loader.h"
#include "rsa_numbers.h"
#include "same_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace qh::cli {

const char* const kRsaCommandsHelp = "  rsa keygen     an RSA key made as the key tool makes it\n"
                                     "  rsa encrypt    RSA encryption of a file in the component's file format\n"
                                     "  rsa decrypt    RSA decryption of such a file\n"
                                     "  rsa encrypt-int, rsa decrypt-int   a hexadecimal integer to the power e or d\n";

namespace {

constexpr const char* kUsage = "Usage: quillhorn-cli rsa keygen [--bits N]\n"
                               "       quillhorn-cli rsa encrypt|decrypt --key KEYFILE [INPUT [OUTPUT]]\n"
                               "       quillhorn-cli rsa encrypt-int|decrypt-int --key KEYFILE NUMBER\n";
constexpr const char* kHelp =
    "keygen       prints a new key: n, e and d in lower-case hexadecimal, one per line. N (default\n"
    "             1024) is read as the key tool reads its key length: rounded down to a multiple of\n"
    "             64, at least 64, at most 8192. e and d are random 1024-bit numbers, and the key has\n"
    "             passed an encryption-decryption test. Files need keys of 128 bits or more: for N\n"
    "             below 128 the key has 64 bits, and a warning says it serves encrypt-int and\n"
    "             decrypt-int only.\n"
    "encrypt      encrypts INPUT into OUTPUT with n and e, in the file format of the GUI's RSA tool;\n"
    "decrypt      decrypts such a file with n and d. INPUT and OUTPUT default to standard input and\n"
    "             output, also when given as -; standard input is copied to a temporary file in\n"
    "             $TMPDIR first, since the format records the length up front, and standard output is\n"
    "             written from one, removed afterwards; so is an OUTPUT that names standard output\n"
    "             (/dev/stdout, /dev/fd/1). A named OUTPUT is replaced only on success, through a link\n"
    "             to its target; it may not be INPUT, nor exist as anything but a regular file.\n"
    "encrypt-int  prints NUMBER^e mod n; decrypt-int prints NUMBER^d mod n. NUMBER is hexadecimal\n"
    "decrypt-int  and below n; the result is lower-case hexadecimal.\n"
    "  --key KEYFILE  n, e and d in hexadecimal on three lines (LF or CR LF line ends, blanks\n"
    "                 ignored), as keygen prints them and as the GUI's key tool copies them;\n"
    "                 - reads it from standard input, which INPUT then cannot be\n"
    "Exit status: 0 done, 1 the operation failed (wrong key, damaged file, no key found),\n"
    "2 usage error, unusable key file or number, unreadable input or unwritable output.\n";

constexpr int kMaxKeyBits = 8192;
// The shortest key that keygen makes and the file format takes.
constexpr int kMinFileKeyBits = 128;
// A key file holds three numbers of at most a few thousand digits; anything far
// larger is not a key file, and is refused rather than read into memory.
constexpr std::size_t kMaxKeyFileBytes = 1 << 20;

const char* StatusName(int status) {
    switch (status) {
    case QH_RSA_OK:
        return "QH_RSA_OK";
    case QH_RSA_E_NUMBER:
        return "QH_RSA_E_NUMBER";
    case QH_RSA_E_ARGUMENT:
        return "QH_RSA_E_ARGUMENT";
    case QH_RSA_E_NOT_INVERTIBLE:
        return "QH_RSA_E_NOT_INVERTIBLE";
    case QH_RSA_E_BUFFER:
        return "QH_RSA_E_BUFFER";
    case QH_RSA_E_KEY_TOO_SMALL:
        return "QH_RSA_E_KEY_TOO_SMALL";
    case QH_RSA_E_FORMAT:
        return "QH_RSA_E_FORMAT";
    case QH_RSA_E_WRONG_KEY:
        return "QH_RSA_E_WRONG_KEY";
    case QH_RSA_E_OPEN_INPUT:
        return "QH_RSA_E_OPEN_INPUT";
    case QH_RSA_E_OPEN_OUTPUT:
        return "QH_RSA_E_OPEN_OUTPUT";
    case QH_RSA_E_SAME_FILE:
        return "QH_RSA_E_SAME_FILE";
    case QH_RSA_E_INTERNAL:
        return "QH_RSA_E_INTERNAL";
    case QH_RSA_E_MODULUS:
        return "QH_RSA_E_MODULUS";
    case QH_RSA_E_EXPONENT:
        return "QH_RSA_E_EXPONENT";
    case QH_RSA_E_RANGE:
        return "QH_RSA_E_RANGE";
    case QH_RSA_E_PRIME_MODULUS:
        return "QH_RSA_E_PRIME_MODULUS";
    default:
        return "unknown status";
    }
}

const char* StatusMeaning(int status) {
    switch (status) {
    case QH_RSA_E_NUMBER:
        return "a number of the key is not hexadecimal";
    case QH_RSA_E_ARGUMENT:
        return "a value is out of range";
    case QH_RSA_E_MODULUS:
        return "n must be odd and at least 3";
    case QH_RSA_E_EXPONENT:
        return "the exponent e must be odd and greater than 1";
    case QH_RSA_E_RANGE:
        return "the number must be below n";
    case QH_RSA_E_PRIME_MODULUS:
        return "n is a prime, so anyone could decrypt; n must be the product of two primes";
    case QH_RSA_E_NOT_INVERTIBLE:
        return "the value has no inverse";
    case QH_RSA_E_KEY_TOO_SMALL:
        return "the key is too short for the file format (at least 113 bits)";
    case QH_RSA_E_FORMAT:
        return "the input is damaged or not an encrypted file";
    case QH_RSA_E_WRONG_KEY:
        return "the input was not encrypted with this key";
    case QH_RSA_E_OPEN_INPUT:
        return "the input cannot be read as a regular file";
    case QH_RSA_E_OPEN_OUTPUT:
        return "the output cannot be created or written, or exists and is not a regular file";
    case QH_RSA_E_SAME_FILE:
        return "input and output are the same file; nothing written";
    case QH_RSA_E_INTERNAL:
        return "out of memory, or the random generator failed";
    default:
        return "the RSA component failed";
    }
}

std::string Failure(const std::string& what, int status) {
    return what + ": " + StatusMeaning(status) + " (" + StatusName(status) + ")";
}

// Refusals caused by what the user gave (key, number, paths) are usage-class
// errors; the rest (wrong key, damage, the component itself) are failures.
int ExitFor(int status) {
    switch (status) {
    case QH_RSA_E_NUMBER:
    case QH_RSA_E_ARGUMENT:
    case QH_RSA_E_KEY_TOO_SMALL:
    case QH_RSA_E_OPEN_INPUT:
    case QH_RSA_E_OPEN_OUTPUT:
    case QH_RSA_E_SAME_FILE:
    case QH_RSA_E_MODULUS:
    case QH_RSA_E_EXPONENT:
    case QH_RSA_E_RANGE:
    case QH_RSA_E_PRIME_MODULUS:
        return kExitUsage;
    default:
        return kExitFailed;
    }
}

bool IsStream(const std::string& name) {
    return name.empty() || name == "-";
}

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

struct Key {
    std::string n, e, d;
};

// n, e and d from a key file; nothing after a message when it is not one.
std::optional<Key> ReadKey(const std::string& path) {
    InputFile file(path);
    if (!file.ok())
        return std::nullopt;
    std::string text, chunk;
    do {
        if (!file.read(chunk))
            return std::nullopt;
        text += chunk;
        if (text.size() > kMaxKeyFileBytes) {
            PrintError(Quoted(path) + ": too large for a key file");
            return std::nullopt;
        }
    } while (!chunk.empty());

    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    while (!lines.empty() && CleanNumber(lines.back(), 16).value_or("x").empty())
        lines.pop_back(); // a final line break, or blank lines after d
    if (lines.size() != 3) {
        PrintError(Quoted(path) + ": a key file holds n, e and d in hexadecimal on three lines");
        return std::nullopt;
    }
    static constexpr const char* kNames[] = {"n", "e", "d"};
    Key key;
    std::string* numbers[] = {&key.n, &key.e, &key.d};
    for (int i = 0; i < 3; ++i) {
        const std::optional<std::string> digits = CleanNumber(lines[i], 16); // a CR before the LF is a blank
        if (!digits || digits->empty()) {
            PrintError(Quoted(path) + ": line " + std::to_string(i + 1) + " (" + kNames[i] +
                       (digits ? ") is empty" : ") is not a hexadecimal number"));
            return std::nullopt;
        }
        *numbers[i] = *digits;
    }
    return key;
}

// A folder in $TMPDIR for the copies of standard input and output, removed
// with its contents when the command ends.
class ScratchFolder {
public:
    ~ScratchFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }
    // The path of `name` inside the folder, created on first use; empty after a message.
    std::string file(const std::string& name) {
        if (path_.empty()) {
            const char* tmp = std::getenv("TMPDIR");
            std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillhorn-rsa-XXXXXX";
            if (::mkdtemp(pattern.data()) == nullptr) {
                PrintError("cannot create a temporary folder in " + pattern.substr(0, pattern.rfind('/')) + ": " +
                           std::strerror(errno));
                return {};
            }
            path_ = pattern;
        }
        return path_ + "/" + name;
    }

private:
    std::string path_;
};

// Copies an input that is not a regular file (standard input, a pipe) to `path`.
bool Spool(const std::string& inputName, const std::string& path) {
    InputFile input(inputName);
    if (!input.ok())
        return false;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        PrintError(path + ": " + std::strerror(errno));
        return false;
    }
    std::string chunk;
    bool ok = true;
    while ((ok = input.read(chunk)) && !chunk.empty()) {
        if (std::fwrite(chunk.data(), 1, chunk.size(), out) != chunk.size()) {
            ok = false;
            PrintError(path + ": write error: " + std::strerror(errno));
            break;
        }
    }
    if (std::fclose(out) != 0 && ok) {
        PrintError(path + ": write error: " + std::strerror(errno));
        ok = false;
    }
    return ok;
}

bool CopyToStdout(const std::string& path) {
    InputFile input(path);
    if (!input.ok())
        return false;
    std::string chunk;
    for (;;) {
        if (!input.read(chunk))
            return false;
        if (chunk.empty())
            break;
        if (!WriteStdout(chunk))
            return false;
    }
    return FlushStdout();
}

// True for a path that exists and is not a regular file or folder: such an
// input is read once, like standard input, and the component wants a file.
bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

bool StdoutIsFile() {
    struct stat info {};
    return ::fstat(1, &info) == 0 && S_ISREG(info.st_mode);
}

// The component beside the program; null after a message.
IRsaComponent* LoadComponent(RsaComponentLoader& loader) {
    const std::string path = DefaultRsaComponentPath();
    if (loader.load(path) != RsaLoadResult::Loaded) {
        PrintError("cannot load the RSA component " + path + ": " + loader.errorText());
        return nullptr;
    }
    return loader.component();
}

int Keygen(RsaClient& client, const std::string& bitsText) {
    const GeneratedKey key = GenerateKey(client, PrimeWordsForKeyLength(bitsText));
    if (key.status != QH_RSA_OK) {
        PrintError(Failure("key generation failed", key.status));
        return kExitFailed;
    }
    if (!key.passed) {
        PrintError("key generation failed: no exponent passed the encryption-decryption test in 50 attempts");
        return kExitFailed;
    }
    if (!WriteStdout(key.n + "\n" + key.e + "\n" + key.d + "\n") || !FlushStdout())
        return kExitUsage;
    // n has no leading zero digit: four bits a digit, less the top digit's unused ones.
    int bits = static_cast<int>(key.n.size()) * 4;
    for (int top = std::stoi(key.n.substr(0, 1), nullptr, 16); top < 8; top *= 2)
        --bits;
    if (bits < kMinFileKeyBits)
        PrintError("warning: a key of " + std::to_string(bits) + " bits is too short for rsa encrypt and decrypt (" +
                   std::to_string(kMinFileKeyBits) + " bits at least); it serves encrypt-int and decrypt-int");
    return kExitOk;
}

int Integer(RsaClient& client, bool encrypt, const Key& key, const std::string& numberText) {
    const std::optional<std::string> number = CleanNumber(numberText, 16);
    if (!number || number->empty()) {
        PrintError(Quoted(numberText) + " is not a hexadecimal number");
        return kExitUsage;
    }
    const RsaResult result =
        encrypt ? client.encryptInteger(key.n, key.e, *number) : client.decryptInteger(key.n, key.d, *number);
    if (!result.ok()) {
        PrintError(Failure(encrypt ? "encryption failed" : "decryption failed", result.status));
        return ExitFor(result.status);
    }
    return WriteStdout(result.value + "\n") && FlushStdout() ? kExitOk : kExitUsage;
}

int File(RsaClient& client, bool encrypt, const Key& key, const std::string& inputName, const std::string& outputName) {
    // An OUTPUT that names standard output, as "-" or as a path to the file
    // open there (/dev/stdout, /dev/fd/1), is written to it from the scratch
    // folder: the component would make its temporary file beside the path, in
    // /dev, where only root may write.
    const bool toStdout = NamesStandardOutput(outputName);
    // Refused when both name one file, also through a redirection of standard
    // input or output, before anything is read or written.
    const bool outputIsFile = !toStdout || StdoutIsFile();
    if (outputIsFile &&
        SameFile(IsStream(inputName) ? "/dev/stdin" : inputName, toStdout ? "/dev/stdout" : outputName)) {
        PrintError(Failure(Quoted(IsStream(inputName) ? "standard input" : inputName) + " and " +
                               Quoted(IsStream(outputName) ? "standard output" : outputName),
                           QH_RSA_E_SAME_FILE));
        return kExitUsage;
    }
    ScratchFolder scratch;
    std::string input = inputName;
    if (IsStream(inputName) || IsSpecialFile(inputName)) {
        input = scratch.file("input");
        if (input.empty() || !Spool(inputName, input))
            return kExitUsage;
    }
    std::string output = outputName;
    if (toStdout) {
        output = scratch.file("output");
        if (output.empty())
            return kExitUsage;
    }
    const int status =
        encrypt ? client.encryptFile(key.n, key.e, input, output) : client.decryptFile(key.n, key.d, input, output);
    if (status != QH_RSA_OK) {
        std::string what = encrypt ? "encryption failed" : "decryption failed";
        if (status == QH_RSA_E_OPEN_INPUT)
            what = Quoted(inputName);
        else if (status == QH_RSA_E_OPEN_OUTPUT)
            what = Quoted(outputName);
        PrintError(Failure(what, status));
        return ExitFor(status);
    }
    if (toStdout && !CopyToStdout(output))
        return kExitUsage;
    return kExitOk;
}

} // namespace

int RunRsa(const Arguments& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::FILE* to = args.empty() ? stderr : stdout;
        std::fputs(kUsage, to);
        if (!args.empty())
            std::fputs(kHelp, to);
        return args.empty() ? kExitUsage : kExitOk;
    }
    const std::string& sub = args[0];
    const bool keygen = sub == "keygen";
    const bool file = sub == "encrypt" || sub == "decrypt";
    const bool integer = sub == "encrypt-int" || sub == "decrypt-int";
    if (!keygen && !file && !integer)
        return UsageError("rsa", "unknown subcommand '" + sub + "'");
    const std::string command = "rsa " + sub;

    std::optional<std::string> keyPath, bits;
    std::vector<std::string> operands;
    bool endOfOptions = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto takeValue = [&](const std::string& option, std::optional<std::string>& slot) -> bool {
            if (slot) {
                UsageError(command, option + " may be given once");
                return false;
            }
            if (arg.size() > option.size()) { // --option=VALUE
                slot = arg.substr(option.size() + 1);
                return true;
            }
            if (i + 1 >= args.size()) {
                UsageError(command, option + " needs a value");
                return false;
            }
            slot = args[++i];
            return true;
        };
        if (endOfOptions || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
        } else if (arg == "--") {
            endOfOptions = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return kExitOk;
        } else if (keygen && (arg == "--bits" || arg.rfind("--bits=", 0) == 0)) {
            if (!takeValue("--bits", bits))
                return kExitUsage;
        } else if (!keygen && (arg == "--key" || arg.rfind("--key=", 0) == 0)) {
            if (!takeValue("--key", keyPath))
                return kExitUsage;
        } else {
            return UsageError(command, "unknown option '" + arg + "'");
        }
    }

    if (keygen) {
        if (!operands.empty())
            return UsageError(command, "unexpected argument '" + operands[0] + "'");
        const std::string bitsText = bits.value_or("1024");
        const std::optional<std::string> digits = CleanNumber(bitsText, 10);
        if (!digits || digits->empty() || digits->size() > 5 || std::stoi(*digits) < 1 ||
            std::stoi(*digits) > kMaxKeyBits)
            return UsageError(command, "--bits takes a key length from 1 to " + std::to_string(kMaxKeyBits));
        RsaComponentLoader loader;
        IRsaComponent* component = LoadComponent(loader);
        if (!component)
            return kExitUsage;
        RsaClient client(*component);
        return Keygen(client, *digits);
    }

    if (!keyPath)
        return UsageError(command, "a key file (--key KEYFILE) is required");
    if (integer && operands.size() != 1)
        return UsageError(command, "one NUMBER is required");
    if (file && operands.size() > 2)
        return UsageError(command, "at most INPUT and OUTPUT may be given");
    if (std::any_of(operands.begin(), operands.end(), [](const std::string& s) { return s.empty(); }))
        return UsageError(command, "an empty argument");
    // Read first, the key would leave nothing of standard input for INPUT.
    if (file && NamesStandardInput(*keyPath) && NamesStandardInput(operands.empty() ? "-" : operands[0]))
        return UsageError(command, "the key file and INPUT cannot both be standard input");
    const std::optional<Key> key = ReadKey(*keyPath);
    if (!key)
        return kExitUsage;
    RsaComponentLoader loader;
    IRsaComponent* component = LoadComponent(loader);
    if (!component)
        return kExitUsage;
    RsaClient client(*component);
    const bool encrypt = sub.rfind("encrypt", 0) == 0;
    if (integer)
        return Integer(client, encrypt, *key, operands[0]);
    return File(client, encrypt, *key, operands.empty() ? "-" : operands[0], operands.size() < 2 ? "-" : operands[1]);
}

} // namespace qh::cli
