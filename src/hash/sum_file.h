// Sum lists: the files of digests that md5sum, sha256sum and OpenSSL write,
// and the lines they hold:
//   DIGEST  NAME      DIGEST *NAME      (a leading backslash marks an escaped NAME)
//   SHA256 (NAME) = DIGEST              SHA2-256(NAME)= DIGEST
// Writing them, reading them back (for one algorithm, as its --check reads
// them, or for any, the algorithm then told by the tag or by the digest's
// length), and reading a digest the user pastes.
#ifndef QUILLHORN_SUM_FILE_H
#define QUILLHORN_SUM_FILE_H

#include "digest_algorithm.h"
#include "multi_digest.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qh {

// A name holding a backslash, a line feed or a carriage return is written with
// those escaped (\\, \n, \r) and the line starts with a backslash, so the line
// stays one line and reads back to the same name. A verdict line of a check
// ("NAME: OK") is escaped so only when the name holds a line feed.
bool NeedsEscape(std::string_view name, bool verdict);
std::string EscapeName(std::string_view name);

// One line for NAME: `lead` and `tail` around the (escaped) name, with the
// marking backslash first where the name needs it.
std::string SumLine(std::string_view lead, std::string_view name, std::string_view tail, bool verdict);

// "DIGEST  NAME\n", or with `tagged` "TAG (NAME) = DIGEST\n", as the digest
// commands write them; `digest` is the text to write.
std::string DigestLine(DigestAlgorithm algorithm, std::string_view digest, std::string_view name, bool tagged);

// One entry of a list.
struct SumEntry {
    std::string digest; // hexadecimal, as written
    std::string name;
    // The algorithm its tag names; for a plain line, the one the parser was
    // made for, or nothing.
    std::optional<DigestAlgorithm> algorithm;
};

// Reads the lines of lists. Whether plain lines put the digest and the name
// apart with one blank (the reversed form of BSD's md5 -r) or with a blank and
// a mode character is settled by the first plain line read and then holds for
// every later line, as in coreutils: a list cannot mix the two.
class SumLineParser {
public:
    // `only`: the lines of that algorithm's lists: tagged lines must name it
    // and plain digests have its length. Nothing: lines of any algorithm, whose
    // digests are as long as one of them.
    explicit SumLineParser(std::optional<DigestAlgorithm> only = std::nullopt) : only_(only) {}

    // One line without its line end (see SumLineBody). Nothing for a line
    // that is improperly formatted.
    std::optional<SumEntry> Parse(std::string_view line);

private:
    std::optional<SumEntry> parsePlain(std::string_view line, std::size_t at, bool escaped);

    std::optional<DigestAlgorithm> only_;
    enum class Reversed { Unknown, No, Yes } reversed_ = Reversed::Unknown;
};

// The part of a list's line (without its line feed) that may hold an entry:
// the line without a carriage return at its end, or nothing for a comment (a
// line starting with #) and a line that is empty.
std::optional<std::string_view> SumLineBody(std::string_view line);

// Splits what `read` gives into lines, whatever their length up to
// `longestLine` bytes (0: no limit).
class SumListReader {
public:
    explicit SumListReader(ReadSome read, std::size_t longestLine = 0)
        : read_(std::move(read)), longest_(longestLine) {}
    // The next line without its line feed; false at the end or after a read
    // error. A line longer than the limit comes as an empty line with
    // TooLong() true.
    bool Next(std::string& line);
    bool TooLong() const { return tooLong_; }
    bool Failed() const { return failed_; }

private:
    bool fill();

    ReadSome read_;
    std::size_t longest_;
    std::string buffer_;
    std::size_t start_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    bool tooLong_ = false;
};

// The algorithm a list's file name speaks of: "SHA256SUMS", "file.iso.sha256",
// "md5sum.txt" and the like, in any letter case; nothing when it names none.
std::optional<DigestAlgorithm> AlgorithmOfListName(std::string_view fileName);

// What the user pastes to compare with: a digest in either letter case with
// any blanks in it ("AB CD EF ..." as the SHA pane writes it), or a whole line
// of a list. Nothing when it is neither, or the digest is as long as none of
// the algorithms'.
struct ExpectedDigest {
    std::string digest;                      // lower-case hexadecimal, no blanks
    std::string name;                        // the name a list line gave, else empty
    std::vector<DigestAlgorithm> algorithms; // the tag's, else those of the digest's length
};
std::optional<ExpectedDigest> ParseExpectedDigest(std::string_view text);

// Whether two hexadecimal digests are equal, whatever their letter case.
bool SameDigest(std::string_view a, std::string_view b);

} // namespace qh

#endif
