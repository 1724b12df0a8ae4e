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

// A line of a list: the digest as written (the check insists on its length and
// digits later) and the name of the file, unescaped.
struct SumEntry {
    std::string digest;
    std::string name;
};

// Reads the lines of lists, without their line end, in the forms above.
// Whether plain lines put the digest and the name apart with one blank (the
// reversed form of BSD's md5 -r) or with a blank and a mode character is
// settled by the first plain line read and then holds for every later line, as
// in coreutils: a list cannot mix the two.
class SumLineParser {
public:
    // `tag` and `otherTag` as in CheckAlgorithm; the digest has 2 * digestBytes digits.
    SumLineParser(std::string_view tag, std::string_view otherTag, std::size_t digestBytes);
    // Nothing for a line in none of the forms.
    std::optional<SumEntry> parse(std::string_view line);

private:
    std::optional<SumEntry> parseTagged(std::string_view line, bool escaped) const;

    std::string_view tag_;
    std::string_view otherTag_;
    std::size_t digestBytes_;
    enum class Reversed { Unknown, No, Yes } reversed_ = Reversed::Unknown;
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
