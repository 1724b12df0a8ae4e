#include "hash_command.h"

#include "byte_string.h"
#include "crc.h"
#include "hash_value.h"
#include "md5.h"
#include "sha.h"

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

enum class Family { Md5, Sha, Crc16, CrcCcitt, Crc32 };

struct Algorithm {
    std::string_view name;
    Family family;
    ShaVariant sha = ShaVariant::Sha1; // used by Family::Sha only
};

constexpr Algorithm kAlgorithms[] = {
    {"md5", Family::Md5},
    {"sha1", Family::Sha, ShaVariant::Sha1},
    {"sha224", Family::Sha, ShaVariant::Sha224},
    {"sha256", Family::Sha, ShaVariant::Sha256},
    {"sha384", Family::Sha, ShaVariant::Sha384},
    {"sha512", Family::Sha, ShaVariant::Sha512},
    {"crc16", Family::Crc16},
    {"crc-ccitt", Family::CrcCcitt},
    {"crc32", Family::Crc32},
};

const Algorithm* findAlgorithm(std::string_view name) {
    for (const Algorithm& algorithm : kAlgorithms)
        if (algorithm.name == name)
            return &algorithm;
    return nullptr;
}

bool isCrc(const Algorithm& algorithm) {
    return algorithm.family == Family::Crc16 || algorithm.family == Family::CrcCcitt ||
           algorithm.family == Family::Crc32;
}

// Digest bytes per algorithm. A check value counts as its big-endian bytes, so
// that its hexadecimal form is that of the digests, with leading zeros.
std::size_t digestLength(const Algorithm& algorithm) {
    switch (algorithm.family) {
    case Family::Md5:
        return Md5::kDigestLength;
    case Family::Sha:
        return ShaDigestLength(algorithm.sha);
    case Family::Crc16:
    case Family::CrcCcitt:
        return 2;
    case Family::Crc32:
        return 4;
    }
    return 0;
}

// One running digest or check value of any of the algorithms.
class Digest {
public:
    explicit Digest(const Algorithm& algorithm) : algorithm_(algorithm), sha_(algorithm.sha) {
        if (algorithm.family == Family::Crc16)
            crc_ = Crc16Arc::kInit;
        else if (algorithm.family == Family::CrcCcitt)
            crc_ = CrcCcittFalse::kInit;
        else
            crc_ = Crc32IsoHdlc::kInit;
    }

    void update(std::string_view bytes) {
        switch (algorithm_.family) {
        case Family::Md5:
            md5_.Update(bytes.data(), bytes.size());
            break;
        case Family::Sha:
            sha_.Update(bytes.data(), bytes.size());
            break;
        case Family::Crc16:
            crc_ = Crc16Arc::Update(static_cast<std::uint16_t>(crc_), bytes.data(), bytes.size());
            break;
        case Family::CrcCcitt:
            crc_ = CrcCcittFalse::Update(static_cast<std::uint16_t>(crc_), bytes.data(), bytes.size());
            break;
        case Family::Crc32:
            crc_ = Crc32IsoHdlc::Update(crc_, bytes.data(), bytes.size());
            break;
        }
    }

    // The digest bytes; the object is used up.
    std::string finish() {
        std::string digest(digestLength(algorithm_), '\0');
        auto* out = reinterpret_cast<std::uint8_t*>(digest.data());
        switch (algorithm_.family) {
        case Family::Md5: {
            const auto bytes = md5_.Finish();
            std::copy(bytes.begin(), bytes.end(), out);
            break;
        }
        case Family::Sha: {
            std::uint8_t bytes[64];
            sha_.Finish(bytes);
            std::copy(bytes, bytes + digest.size(), out);
            break;
        }
        case Family::Crc16:
        case Family::CrcCcitt:
        case Family::Crc32: {
            const std::uint32_t value = algorithm_.family == Family::Crc16      ? Crc16Arc::Final(crc_)
                                        : algorithm_.family == Family::CrcCcitt ? CrcCcittFalse::Final(crc_)
                                                                                : Crc32IsoHdlc::Final(crc_);
            for (std::size_t i = 0; i < digest.size(); ++i)
                out[i] = static_cast<std::uint8_t>(value >> (8 * (digest.size() - 1 - i)));
            break;
        }
        }
        return digest;
    }

private:
    const Algorithm& algorithm_;
    Md5 md5_;
    ShaHasher sha_;
    std::uint32_t crc_ = 0;
};

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
std::string formatDigest(const Algorithm& algorithm, std::string_view digest, const Format& format) {
    if (isCrc(algorithm) && format.crcForm != CrcForm::Hex) {
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

// A digest line's name holding a backslash, a line feed or a carriage return
// is written with those escaped, and the line starts with a backslash, as
// sha256sum does; so the line stays one line and reads back to the same name.
// A verdict line of --check is escaped so only when the name holds a line feed,
// again as sha256sum does.
bool needsEscape(std::string_view name, bool verdict) {
    return name.find_first_of(verdict ? "\n" : "\\\n\r") != std::string_view::npos;
}

std::string escapeName(std::string_view name) {
    std::string text;
    for (char ch : name) {
        if (ch == '\\')
            text += "\\\\";
        else if (ch == '\n')
            text += "\\n";
        else if (ch == '\r')
            text += "\\r";
        else
            text += ch;
    }
    return text;
}

std::optional<std::string> unescapeName(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            name += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        if (text[i] == '\\')
            name += '\\';
        else if (text[i] == 'n')
            name += '\n';
        else if (text[i] == 'r')
            name += '\r';
        else
            return std::nullopt;
    }
    return name;
}

// "NAME" with its escape, preceded by `lead` ("DIGEST  ") and the marking backslash.
std::string lineFor(std::string_view lead, std::string_view name, std::string_view tail, bool verdict) {
    std::string line;
    const bool escaped = needsEscape(name, verdict);
    if (escaped)
        line += '\\';
    line.append(lead);
    line += escaped ? escapeName(name) : std::string(name);
    line.append(tail);
    return line;
}

// The digest of a file or of standard input ("-"), read in chunks; nothing when
// it cannot be opened or read (the reason is already on standard error).
std::optional<std::string> digestFile(const Algorithm& algorithm, const std::string& name) {
    if (name.empty()) { // InputFile would take it for standard input
        PrintError("'': No such file or directory");
        return std::nullopt;
    }
    InputFile input(name);
    if (!input.ok())
        return std::nullopt;
    Digest digest(algorithm);
    std::string chunk;
    for (;;) {
        if (!input.read(chunk))
            return std::nullopt;
        if (chunk.empty())
            break;
        digest.update(chunk);
    }
    return digest.finish();
}

struct Input {
    bool isFile = true;
    std::string name;  // the file's name, or the quoted text
    std::string bytes; // the bytes of -s or -x
};

struct Options {
    Format format;
    std::vector<Input> inputs;
    std::vector<std::string> lists; // --check
    bool help = false;
};

// The bytes of -x, parsed as the GUI parses its hexadecimal input for the
// same algorithm; nothing (after the GUI's message) when it would refuse it.
std::optional<std::string> parseHexInput(const Algorithm& algorithm, const std::string& text) {
    if (algorithm.family == Family::Md5) {
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
int parseOptions(const Algorithm& algorithm, const Arguments& args, Options& options) {
    const std::string command(algorithm.name);
    bool endOfOptions = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (endOfOptions || arg == "-" || arg.empty() || arg[0] != '-') {
            options.inputs.push_back({true, arg, {}});
            continue;
        }
        std::optional<std::string> inlineValue; // --name=value
        if (const std::size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            inlineValue = arg.substr(equals + 1);
            arg.resize(equals);
        }
        const auto value = [&](std::string& into) {
            if (inlineValue) {
                into = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (inlineValue && arg != "--check" && arg != "--format")
            return UsageError(command, "option '" + arg + "' takes no value");
        std::string text;
        if (arg == "--") {
            endOfOptions = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
            return kExitOk;
        } else if (arg == "-s") {
            if (!value(text))
                return UsageError(command, "-s needs a text");
            options.inputs.push_back({false, "\"" + text + "\"", text});
        } else if (arg == "-x") {
            if (!value(text))
                return UsageError(command, "-x needs a hexadecimal text");
            std::optional<std::string> bytes = parseHexInput(algorithm, text);
            if (!bytes)
                return kExitUsage;
            options.inputs.push_back({false, "\"" + text + "\"", std::move(*bytes)});
        } else if (arg == "-c" || arg == "--check") {
            if (!value(text))
                return UsageError(command, "--check needs a file");
            options.lists.push_back(text);
        } else if (arg == "--upper") {
            options.format.upper = true;
        } else if (arg == "--short" && algorithm.family == Family::Md5) {
            options.format.shortMd5 = true;
        } else if (arg == "--spaced" && algorithm.family == Family::Sha) {
            options.format.spaced = true;
        } else if (arg == "--format" && isCrc(algorithm)) {
            if (!value(text) || (text != "hex" && text != "dec" && text != "bin"))
                return UsageError(command, "--format needs hex, dec or bin");
            options.format.crcForm = text == "hex" ? CrcForm::Hex : text == "dec" ? CrcForm::Dec : CrcForm::Bin;
        } else {
            return UsageError(command, "unknown option '" + args[i] + "'");
        }
    }
    if (!options.lists.empty() && !options.inputs.empty())
        return UsageError(command, "--check reads its files from the lists; no other input may be given");
    return kExitOk;
}

int runDigests(const Algorithm& algorithm, const Options& options) {
    int status = kExitOk;
    for (const Input& input : options.inputs) {
        std::optional<std::string> digest;
        if (input.isFile) {
            digest = digestFile(algorithm, input.name);
        } else {
            Digest running(algorithm);
            running.update(input.bytes);
            digest = running.finish();
        }
        if (!digest) {
            status = kExitUsage;
            continue;
        }
        const std::string lead = formatDigest(algorithm, *digest, options.format) + "  ";
        if (!WriteStdout(lineFor(lead, input.name, "\n", false)))
            return kExitUsage;
    }
    return FlushStdout() ? status : kExitUsage;
}

struct CheckEntry {
    std::string digest; // hexadecimal, as written
    std::string name;
};

// A line "DIGEST  NAME" or "DIGEST *NAME" (the binary-mode marker of
// sha256sum), with an optional leading backslash that marks an escaped NAME.
std::optional<CheckEntry> parseCheckLine(const Algorithm& algorithm, std::string_view line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos)
        return std::nullopt;
    const bool escaped = line[i] == '\\';
    if (escaped)
        ++i;
    const std::size_t digits = 2 * digestLength(algorithm);
    if (line.size() < i + digits + 3) // digest, blank, marker and at least one character of the name
        return std::nullopt;
    CheckEntry entry;
    entry.digest = line.substr(i, digits);
    if (entry.digest.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    i += digits;
    if ((line[i] != ' ' && line[i] != '\t') || (line[i + 1] != ' ' && line[i + 1] != '*'))
        return std::nullopt;
    const std::string_view name = line.substr(i + 2);
    if (!escaped) {
        entry.name = name;
        return entry;
    }
    std::optional<std::string> unescaped = unescapeName(name);
    if (!unescaped)
        return std::nullopt;
    entry.name = std::move(*unescaped);
    return entry;
}

bool sameDigest(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return (x | 0x20) == (y | 0x20); }); // both are hexadecimal digits
}

struct CheckTally {
    unsigned improper = 0;
    unsigned unreadable = 0;
    unsigned mismatched = 0;
};

void warn(unsigned count, const char* one, const char* many) {
    if (count > 0)
        PrintError("WARNING: " + std::to_string(count) + " " + (count == 1 ? one : many));
}

// Checks the entries of one list; returns kExitOk, kExitFailed or kExitUsage.
int checkList(const Algorithm& algorithm, const std::string& list, CheckTally& tally) {
    std::FILE* file = list == "-" ? stdin : std::fopen(list.c_str(), "rb");
    if (!file) {
        PrintError(list + ": " + std::strerror(errno));
        return kExitUsage;
    }
    int status = kExitOk;
    unsigned proper = 0;
    char* buffer = nullptr;
    std::size_t capacity = 0;
    for (ssize_t got; (got = getline(&buffer, &capacity, file)) >= 0;) {
        std::string_view line(buffer, static_cast<std::size_t>(got));
        if (!line.empty() && line.back() == '\n')
            line.remove_suffix(1);
        if (!line.empty() && line.back() == '\r') // a list written with CR LF line ends
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        const std::optional<CheckEntry> entry = parseCheckLine(algorithm, line);
        if (!entry) {
            ++tally.improper;
            continue;
        }
        ++proper;
        const std::optional<std::string> digest = digestFile(algorithm, entry->name);
        const char* verdict = "OK";
        if (!digest) {
            verdict = "FAILED open or read";
            ++tally.unreadable;
            status = kExitFailed;
        } else if (!sameDigest(toHex(*digest, false, false), entry->digest)) {
            verdict = "FAILED";
            ++tally.mismatched;
            status = kExitFailed;
        }
        if (!WriteStdout(lineFor("", entry->name, std::string(": ") + verdict + "\n", true)) || !FlushStdout()) {
            status = kExitUsage;
            break;
        }
    }
    std::free(buffer);
    if (std::ferror(file)) {
        PrintError(list + ": read error");
        status = kExitUsage;
    } else if (proper == 0 && status == kExitOk) {
        PrintError(list + ": no properly formatted checksum lines found");
        status = kExitFailed;
    }
    if (file != stdin)
        std::fclose(file);
    return status;
}

int runCheck(const Algorithm& algorithm, const Options& options) {
    CheckTally tally;
    int status = kExitOk;
    for (const std::string& list : options.lists)
        status = std::max(status, checkList(algorithm, list, tally));
    warn(tally.improper, "line is improperly formatted", "lines are improperly formatted");
    warn(tally.unreadable, "listed file could not be read", "listed files could not be read");
    warn(tally.mismatched, "computed checksum did NOT match", "computed checksums did NOT match");
    return status;
}

void printHelp(const Algorithm& algorithm) {
    const std::string name(algorithm.name);
    const char* own = algorithm.family == Family::Md5   ? "[--short]"
                      : algorithm.family == Family::Sha ? "[--spaced]"
                                                        : "[--format hex|dec|bin]";
    std::printf("Usage: quillhorn-cli %s [--upper] %s [-s TEXT]... [-x HEXTEXT]... [FILE]...\n"
                "       quillhorn-cli %s -c LIST...\n"
                "Writes one line \"DIGEST  NAME\" per input, as %s does: for each FILE (standard\n"
                "input when none is given, or for -), each -s TEXT and each -x HEXTEXT, in the order given.\n"
                "  -s TEXT         the bytes of TEXT; NAME is the text in double quotes\n",
                name.c_str(), own, name.c_str(), isCrc(algorithm) ? "sha256sum" : (name + "sum").c_str());
    if (algorithm.family == Family::Md5)
        std::fputs("  -x HEXTEXT      pairs of hexadecimal digits, blanks and tabs between pairs:\n"
                   "                  \"AD 3E\" and \"AD3E\" are the bytes AD 3E; \"ADE\" is refused\n"
                   "  --short         the 16 middle digits\n",
                   stdout);
    else
        std::fputs("  -x HEXTEXT      a byte string, three characters per byte: \"AD 3E B2\" is the bytes\n"
                   "                  AD 3E B2, \"AD3EB2\" the bytes AD EB\n",
                   stdout);
    if (algorithm.family == Family::Sha)
        std::fputs("  --spaced        a blank between bytes\n", stdout);
    if (isCrc(algorithm))
        std::fputs("  --format FORM   hex (with leading zeros, the default), dec, or bin (base 2 in groups of 4)\n",
                   stdout);
    std::fputs("  --upper         upper-case hexadecimal digits\n"
               "  -c, --check LIST\n"
               "                  read lines \"DIGEST  NAME\" or \"DIGEST *NAME\" from LIST (- for standard\n"
               "                  input), digest each NAME and print \"NAME: OK\" or \"NAME: FAILED\";\n"
               "                  exit 1 if any failed\n",
               stdout);
}

} // namespace

bool IsHashCommand(std::string_view command) {
    return findAlgorithm(command) != nullptr;
}

int RunHash(std::string_view command, const Arguments& args) {
    const Algorithm* algorithm = findAlgorithm(command);
    if (!algorithm)
        return UsageError(command, "unknown command");
    Options options;
    if (const int parsed = parseOptions(*algorithm, args, options); parsed != kExitOk)
        return parsed;
    if (options.help) {
        printHelp(*algorithm);
        return kExitOk;
    }
    if (!options.lists.empty())
        return runCheck(*algorithm, options);
    if (options.inputs.empty())
        options.inputs.push_back({true, "-", {}});
    return runDigests(*algorithm, options);
}

} // namespace qh::cli
