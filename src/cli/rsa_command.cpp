#include "rsa_command.h"

#include "rsa_loader.h"
#include "rsa_numbers.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
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
    "             output, also when given as - (OUTPUT also as /dev/stdout); write ./- for a file\n"
    "             named -. An INPUT that is not a regular file (standard input, a pipe) is copied to\n"
    "             a temporary folder in $TMPDIR first, since the format records the length up front;\n"
    "             the result is made in that folder too, then copied to OUTPUT, and the folder is\n"
    "             removed. A named OUTPUT is replaced only on success, through a link to its target;\n"
    "             it may not be INPUT, nor exist as anything but a regular file.\n"
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

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

// n, e and d from a key file; nothing after a message when it is not one.
std::optional<RsaKey> ReadKey(const std::string& path) {
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
    std::string error;
    std::optional<RsaKey> key = ParseRsaKey(text, error);
    if (!key)
        PrintError(Quoted(path) + ": " + error);
    return key;
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

int Integer(RsaClient& client, bool encrypt, const RsaKey& key, const std::string& numberText) {
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

int File(RsaClient& client, bool encrypt, const RsaKey& key, const std::string& inputName,
         const std::string& outputName) {
    // Refused before anything is read or written.
    const std::optional<OutputTarget> target = ResolveOutput(outputName);
    if (!target || !DistinctFiles(inputName, *target))
        return kExitUsage;
    InputFile input(inputName);
    if (!input.ok())
        return kExitUsage;
    // The component reads a regular file by its name (the format records the
    // length up front), so anything else is copied to the scratch folder
    // first. It writes into the scratch folder too, and the result is put in
    // place from there: every temporary file is then this program's, which
    // removes them all when it is interrupted.
    ScratchFolder scratch;
    const std::string inputPath = RegularFileOf(input, inputName, scratch);
    if (inputPath.empty())
        return kExitUsage;
    const std::string outputPath = scratch.file("output");
    if (outputPath.empty())
        return kExitUsage;
    const int status = encrypt ? client.encryptFile(key.n, key.e, inputPath, outputPath)
                               : client.decryptFile(key.n, key.d, inputPath, outputPath);
    if (status != QH_RSA_OK) {
        std::string what = encrypt ? "encryption failed" : "decryption failed";
        if (status == QH_RSA_E_OPEN_INPUT)
            what = Quoted(inputName);
        else if (status == QH_RSA_E_OPEN_OUTPUT)
            what = Quoted(outputPath);
        PrintError(Failure(what, status));
        return ExitFor(status);
    }
    OutputSink sink(*target);
    return CopyToOutput(outputPath, sink) ? kExitOk : kExitUsage;
}

} // namespace

std::optional<RsaKey> ParseRsaKey(std::string_view text, std::string& error) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    while (!lines.empty() && CleanNumber(lines.back(), 16).value_or("x").empty())
        lines.pop_back(); // a final line break, or blank lines after d
    if (lines.size() != 3) {
        error = "a key file holds n, e and d in hexadecimal on three lines";
        return std::nullopt;
    }
    static constexpr const char* kNames[] = {"n", "e", "d"};
    RsaKey key;
    std::string* numbers[] = {&key.n, &key.e, &key.d};
    for (int i = 0; i < 3; ++i) {
        const std::optional<std::string> digits = CleanNumber(lines[i], 16); // a CR before the LF is a blank
        if (!digits || digits->empty()) {
            error = "line " + std::to_string(i + 1) + " (" + kNames[i] +
                    (digits ? ") is empty" : ") is not a hexadecimal number");
            return std::nullopt;
        }
        *numbers[i] = *digits;
    }
    return key;
}

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
    ArgumentReader reader(args, 1);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        const auto takeValue = [&](std::optional<std::string>& slot) -> bool {
            if (slot) {
                UsageError(command, arg + " may be given once");
                return false;
            }
            slot.emplace();
            if (!reader.TakeValue(*slot)) {
                UsageError(command, arg + " needs a value");
                return false;
            }
            return true;
        };
        if (reader.IsOperand()) {
            operands.push_back(arg);
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return kExitOk;
        } else if (keygen && arg == "--bits") {
            if (!takeValue(bits))
                return kExitUsage;
        } else if (!keygen && arg == "--key") {
            if (!takeValue(keyPath))
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
    const std::optional<RsaKey> key = ReadKey(*keyPath);
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
