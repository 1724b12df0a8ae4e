#include "list_check.h"

#include "input_file.h"
#include "multi_digest.h"
#include "sum_file.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <sys/stat.h>

namespace qh {
namespace {

// Longer than any file name with its digest and tag (names are at most 4 KiB).
constexpr std::size_t kLongestLine = 16 * 1024;

bool contains(std::span<const DigestAlgorithm> algorithms, DigestAlgorithm algorithm) {
    return std::find(algorithms.begin(), algorithms.end(), algorithm) != algorithms.end();
}

void addOnce(std::vector<DigestAlgorithm>& algorithms, DigestAlgorithm algorithm) {
    if (!contains(algorithms, algorithm))
        algorithms.push_back(algorithm);
}

bool isMet(const CheckedFile& file, const Expectation& expectation) {
    for (DigestAlgorithm algorithm : expectation.algorithms)
        if (DigestOf(file, algorithm) == expectation.digest)
            return true;
    return false;
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return text;
}

// The folder of `path`, to which the names in the list are relative.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::optional<std::string> DigestOf(const CheckedFile& file, DigestAlgorithm algorithm) {
    for (const auto& [each, digest] : file.digests)
        if (each == algorithm)
            return digest;
    return std::nullopt;
}

CellMatch MatchOf(const CheckedFile& file, DigestAlgorithm algorithm, std::span<const Expectation> expectations) {
    const std::optional<std::string> digest = DigestOf(file, algorithm);
    if (!digest)
        return CellMatch::None;
    bool match = false;
    bool mismatch = false;
    for (const Expectation& expectation : expectations) {
        if (!contains(expectation.algorithms, algorithm))
            continue;
        if (*digest == expectation.digest)
            match = true;
        else if (!isMet(file, expectation)) // four digits another check value may meet
            mismatch = true;
    }
    return mismatch ? CellMatch::Mismatch : match ? CellMatch::Match : CellMatch::None;
}

Verdict VerdictOf(const CheckedFile& file) {
    switch (file.state) {
    case FileState::Missing:
        return Verdict::Missing;
    case FileState::Unreadable:
        return Verdict::Unreadable;
    case FileState::Unread:
        return Verdict::None;
    case FileState::Digested:
        break;
    }
    if (file.expected.empty())
        return Verdict::None;
    for (const Expectation& expectation : file.expected)
        if (!isMet(file, expectation))
            return Verdict::Failed;
    return Verdict::Ok;
}

bool DigestFiles(std::vector<CheckedFile>& files, std::span<const DigestAlgorithm> algorithms, Progress* progress) {
    // The sizes first, for the progress's total; a file that is not there is
    // told from one that cannot be read.
    std::uint64_t total = 0;
    for (CheckedFile& file : files) {
        file.digests.clear();
        struct stat info {};
        if (::stat(file.path.c_str(), &info) != 0) {
            file.state = errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unreadable;
            continue;
        }
        file.state = FileState::Unread;
        file.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
        total += file.size;
    }
    if (progress)
        progress->SetTotal(total);

    for (CheckedFile& file : files) {
        if (file.state != FileState::Unread)
            continue;
        std::vector<DigestAlgorithm> wanted(algorithms.begin(), algorithms.end());
        for (const Expectation& expectation : file.expected)
            for (DigestAlgorithm algorithm : expectation.algorithms)
                addOnce(wanted, algorithm);
        const PassResult pass = DigestFile(file.path, wanted, progress);
        if (pass.status == PassStatus::Cancelled)
            return false;
        if (pass.status != PassStatus::Ok) {
            file.state = FileState::Unreadable;
            continue;
        }
        file.state = FileState::Digested;
        file.size = pass.bytes;
        for (std::size_t i = 0; i < wanted.size(); ++i)
            file.digests.emplace_back(wanted[i], ToHex(pass.digests[i]));
    }
    return !IsCancelled(progress);
}

SumList ReadSumList(const std::string& path) {
    SumList list;
    InputFile input(path);
    if (!input.IsOpen()) {
        list.status = SumList::Status::CannotOpen;
        return list;
    }
    SumListReader reader([&input](std::uint8_t* to, std::size_t length) { return input.Read(to, length); },
                         kLongestLine);
    SumLineParser parser;
    const std::optional<DigestAlgorithm> named = AlgorithmOfListName(path);
    const std::string folder = folderOf(path);
    std::map<std::string, std::size_t> indexOf;
    for (std::string line; reader.Next(line);) {
        if (reader.TooLong()) {
            ++list.improperLines;
            continue;
        }
        const std::optional<std::string_view> body = SumLineBody(line);
        if (!body)
            continue;
        std::optional<SumEntry> entry = parser.Parse(*body);
        if (!entry) {
            ++list.improperLines;
            continue;
        }
        Expectation expectation{lowerCase(entry->digest), {}};
        if (entry->algorithm)
            expectation.algorithms = {*entry->algorithm};
        else
            expectation.algorithms = AlgorithmsOfLength(expectation.digest.size());
        if (expectation.algorithms.size() > 1 && named && contains(expectation.algorithms, *named))
            expectation.algorithms = {*named};
        for (DigestAlgorithm algorithm : expectation.algorithms)
            addOnce(list.algorithms, algorithm);

        const auto [at, added] = indexOf.try_emplace(entry->name, list.files.size());
        if (added) {
            CheckedFile file;
            file.name = entry->name;
            file.path = entry->name.starts_with('/') ? entry->name : folder + "/" + entry->name;
            list.files.push_back(std::move(file));
        }
        list.files[at->second].expected.push_back(std::move(expectation));
    }
    if (reader.Failed())
        list.status = SumList::Status::ReadError;
    else if (list.files.empty())
        list.status = SumList::Status::NoProperLines;
    return list;
}

} // namespace qh
