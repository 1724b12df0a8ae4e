#include "sum_check.h"

#include "cli_support.h"
#include "sum_file.h"

#include <cerrno>
#include <sys/stat.h>

namespace qh::cli {
namespace {

void warn(std::size_t count, const char* one, const char* many) {
    if (count > 0)
        PrintError("WARNING: " + std::to_string(count) + " " + (count == 1 ? one : many));
}

// Checks lists one after the other. The parser lives as long as the checker:
// the form of plain lines that the first one settles holds for all lists.
class Checker {
public:
    Checker(const CheckAlgorithm& algorithm, const CheckOptions& options)
        : algorithm_(algorithm), options_(options), parser_(algorithm.algorithm) {}

    bool checkList(const std::string& list);

private:
    bool report() const { return options_.report != CheckOptions::Report::Status; }

    const CheckAlgorithm& algorithm_;
    const CheckOptions& options_;
    SumLineParser parser_;
};

bool Checker::checkList(const std::string& list) {
    const bool fromStdin = list == "-";
    const std::string listName = QuoteName(fromStdin ? "standard input" : list);
    const std::string tag(InfoOf(algorithm_.algorithm).tag);
    InputFile input(list);
    if (!input.ok())
        return false;
    SumListReader reader([&input](std::uint8_t* to, std::size_t length) { return input.read(to, length); });
    std::size_t lineNumber = 0;
    std::size_t improper = 0;
    std::size_t unreadable = 0;
    std::size_t mismatched = 0;
    bool properLines = false;
    bool matched = false;
    for (std::string line; reader.Next(line);) {
        ++lineNumber;
        const std::optional<std::string_view> body = SumLineBody(line);
        if (!body)
            continue;
        const std::optional<SumEntry> entry = parser_.Parse(*body);
        if (!entry || (fromStdin && entry->name == "-")) {
            ++improper;
            if (options_.report == CheckOptions::Report::Warn)
                PrintError(listName + ": " + std::to_string(lineNumber) + ": improperly formatted " + tag +
                           " checksum line");
            continue;
        }
        properLines = true;
        struct stat info {};
        if (options_.ignoreMissing && entry->name != "-" && ::stat(entry->name.c_str(), &info) != 0 && errno == ENOENT)
            continue;
        std::optional<std::string> digest;
        if (entry->name.empty()) // the stream, for InputFile
            PrintError(NameError(entry->name, ENOENT));
        else
            digest = algorithm_.digestFile(entry->name);
        const bool match = digest && SameDigest(*digest, entry->digest);
        if (!digest)
            ++unreadable;
        else if (match)
            matched = true;
        else
            ++mismatched;
        if (!report() || (match && options_.report == CheckOptions::Report::Quiet))
            continue;
        const char* verdict = !digest ? ": FAILED open or read\n" : match ? ": OK\n" : ": FAILED\n";
        if (!WriteStdout(SumLine("", entry->name, verdict, true)) || !FlushStdout())
            return false;
    }
    if (reader.Failed())
        return false;
    if (!properLines) {
        PrintError(listName + ": no properly formatted checksum lines found");
        return false;
    }
    if (report()) {
        warn(improper, "line is improperly formatted", "lines are improperly formatted");
        warn(unreadable, "listed file could not be read", "listed files could not be read");
        warn(mismatched, "computed checksum did NOT match", "computed checksums did NOT match");
        if (options_.ignoreMissing && !matched)
            PrintError(listName + ": no file was verified");
    }
    return matched && mismatched == 0 && unreadable == 0 && (!options_.strict || improper == 0);
}

} // namespace

int CheckSumLists(const CheckAlgorithm& algorithm, const CheckOptions& options, const std::vector<std::string>& lists) {
    Checker checker(algorithm, options);
    bool ok = true;
    for (const std::string& list : lists)
        ok = checker.checkList(list) && ok;
    return ok ? kExitOk : kExitFailed;
}

} // namespace qh::cli
