// Files and the digests expected of them: the files a sum list names, found
// from the list's folder, or files the user picked; each digested once with
// every algorithm asked for and every one its expectations need, then judged.
#ifndef QUILLHORN_LIST_CHECK_H
#define QUILLHORN_LIST_CHECK_H

#include "digest_algorithm.h"
#include "progress.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace qh {

// A digest a file should have. Four hexadecimal digits fit two check values
// (CRC-16 and CRC-CCITT): the expectation is met when either is equal.
struct Expectation {
    std::string digest; // lower-case hexadecimal
    std::vector<DigestAlgorithm> algorithms;
};

enum class FileState {
    Unread,     // not digested yet
    Digested,   // `digests` hold its digests
    Missing,    // no such file
    Unreadable, // there, but it cannot be opened or read (a folder, no permission, a read error)
};

struct CheckedFile {
    std::string name; // as the list writes it, or as picked
    std::string path; // where it is read
    std::uint64_t size = 0;
    std::vector<Expectation> expected;
    FileState state = FileState::Unread;
    std::vector<std::pair<DigestAlgorithm, std::string>> digests; // lower-case hexadecimal
};

// The file's digest with `algorithm`, once digested with it.
std::optional<std::string> DigestOf(const CheckedFile& file, DigestAlgorithm algorithm);

// How the digest of one algorithm compares with `expectations`: Match when
// one of them holds it, Mismatch when one of them names the algorithm and is
// met by no digest of the file, None otherwise (no expectation of this
// algorithm, or the file is not digested with it).
enum class CellMatch { None, Match, Mismatch };
CellMatch MatchOf(const CheckedFile& file, DigestAlgorithm algorithm, std::span<const Expectation> expectations);

// The file against its own expectations: Ok when every one is met, Failed
// when one is not, Missing or Unreadable when it could not be digested, None
// when it has none or is not digested yet.
enum class Verdict { None, Ok, Failed, Missing, Unreadable };
Verdict VerdictOf(const CheckedFile& file);

// Digests every file in one pass each with `algorithms` and with those its
// expectations name, in that order. `progress` (may be null) gets the total
// of the sizes and counts the bytes read; false when it was cancelled.
bool DigestFiles(std::vector<CheckedFile>& files, std::span<const DigestAlgorithm> algorithms,
                 Progress* progress = nullptr);

// A sum list of any algorithm, read for checking.
struct SumList {
    enum class Status { Ok, CannotOpen, ReadError, NoProperLines } status = Status::Ok;
    // One entry per name, in the order of first mention, with every digest the
    // list gives for it; relative names are found from the list's folder.
    std::vector<CheckedFile> files;
    std::size_t improperLines = 0;
    std::vector<DigestAlgorithm> algorithms; // those the list names, in the order of first mention
};

// Reads the list at `path`. Plain lines name their algorithm by the digest's
// length; where that fits two, the list's file name may tell which one
// (AlgorithmOfListName), else both are tried. Lines longer than a name can be
// count as improper.
SumList ReadSumList(const std::string& path);

} // namespace qh

#endif
