// The lines of sum lists as the digest commands write them and read them back
// with --check, in the forms md5sum, sha256sum and OpenSSL write:
//   DIGEST  NAME      DIGEST *NAME      (a leading backslash marks an escaped NAME)
//   SHA256 (NAME) = DIGEST              SHA2-256(NAME)= DIGEST
// and the checking of such lists, with the messages, warnings and exit
// statuses of coreutils' --check.
#ifndef QUILLHORN_SUM_CHECK_H
#define QUILLHORN_SUM_CHECK_H

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qh::cli {

// A name holding a backslash, a line feed or a carriage return is written with
// those escaped (\\, \n, \r) and the line starts with a backslash, so the line
// stays one line and reads back to the same name. A verdict line of --check is
// escaped so only when the name holds a line feed. Both as coreutils does.
bool NeedsEscape(std::string_view name, bool verdict);
std::string EscapeName(std::string_view name);

// One line for NAME: `lead` and `tail` around the (escaped) name, with the
// marking backslash first where the name needs it.
std::string SumLine(std::string_view lead, std::string_view name, std::string_view tail, bool verdict);

struct CheckAlgorithm {
    std::string_view tag;        // the tagged lines' name: "SHA256", "MD5", "CRC32"
    std::string_view otherTag;   // OpenSSL's name where it differs ("SHA2-256"), else empty
    std::size_t digestBytes = 0; // a digest is twice as many hexadecimal digits
    // The digest of a file ("-" for standard input) in hexadecimal; nothing
    // after a message when it cannot be opened or read.
    std::function<std::optional<std::string>(const std::string&)> digestFile;
};

struct CheckOptions {
    enum class Report { All, Quiet, Status, Warn } report = Report::All;
    bool strict = false;
    bool ignoreMissing = false;
};

// Checks each list (standard input for "-"): kExitOk when every list held
// proper lines whose files all matched, else kExitFailed.
int CheckSumLists(const CheckAlgorithm& algorithm, const CheckOptions& options, const std::vector<std::string>& lists);

} // namespace qh::cli

#endif
