// libFuzzer target for the --check lists of the digest commands. Every line
// parses or not without a crash, to a name it holds (unescaped, up to a NUL);
// a line written as the digest commands write it, plain or tagged, reads back
// as its digest and name. With flag bit 5 the whole check runs too, on the
// input and on a list of written lines: it ends in an exit status, asks only
// for names the list holds, and the written list verifies. (The whole
// check reads through a 1 MiB buffer, which costs the fuzzer a millisecond or
// more a list, so only some inputs take it.)
//
// Input layout: a flags byte (bits 0-1 the algorithm, 2-3 the report, 4
// strict, 5 the whole check), then the list. Its first bytes, up to a NUL or
// the 40th, also name the file of the written lines.
#include "fuzz_support.h"
#include "sum_check.h"
#include "sum_file.h"

#include "cli_support.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using qh::fuzz::Require;
namespace cli = qh::cli;

namespace {

using qh::DigestAlgorithm;
const DigestAlgorithm kAlgorithms[] = {DigestAlgorithm::Md5, DigestAlgorithm::Sha256, DigestAlgorithm::Crc32,
                                       DigestAlgorithm::Sha1};

std::vector<std::string_view> Lines(std::string_view list) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find('\n', start), list.size());
        lines.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Checks one list; the names asked for are collected. Every file's digest is
// the name's length repeated, so a line can match or not; a name starting
// with '?' cannot be read.
int Check(DigestAlgorithm algorithm, const cli::CheckOptions& options, std::string_view list,
          std::vector<std::string>& asked) {
    const std::string path = qh::fuzz::ScratchFolder() + "/list";
    qh::fuzz::WriteFile(path, list);
    cli::CheckAlgorithm check;
    check.algorithm = algorithm;
    const std::size_t bytes = qh::InfoOf(algorithm).digestBytes;
    check.digestFile = [&](const std::string& name) -> std::optional<std::string> {
        asked.push_back(name);
        if (name[0] == '?')
            return std::nullopt;
        static const char kDigits[] = "0123456789abcdef";
        return std::string(2 * bytes, kDigits[name.size() % 16]);
    };
    const int status = cli::CheckSumLists(check, options, {path});
    Require(status == cli::kExitOk || status == cli::kExitFailed);
    return status;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const DigestAlgorithm algorithm = kAlgorithms[data[0] & 3];
    const std::size_t bytes = qh::InfoOf(algorithm).digestBytes;
    cli::CheckOptions options;
    options.report = static_cast<cli::CheckOptions::Report>((data[0] >> 2) & 3);
    options.strict = (data[0] & 16) != 0;
    const bool whole = (data[0] & 32) != 0;
    const std::string_view list(reinterpret_cast<const char*>(data) + 1, size - 1);

    // The check's parser (one algorithm) and the verify pane's (any).
    qh::SumLineParser parser(algorithm), anyParser;
    for (const std::string_view line : Lines(list)) {
        for (qh::SumLineParser* p : {&parser, &anyParser}) {
            const std::optional<qh::SumEntry> entry = p->Parse(line);
            if (!entry)
                continue;
            Require(entry->name.find('\0') == std::string::npos && entry->digest.find('\0') == std::string::npos);
            Require(line.find(entry->digest) != std::string_view::npos);
            Require(line.find(entry->name) != std::string_view::npos || line.find('\\') != std::string_view::npos);
        }
    }

    std::string name(list.substr(0, std::min(list.find('\0'), std::size_t{40})));
    if (name.empty() || name[0] == '?')
        name.insert(0, "a");
    static const char kDigits[] = "0123456789ABCDEF";
    const std::string digest(2 * bytes, kDigits[name.size() % 16]);
    const std::string written[] = {
        qh::SumLine(digest + "  ", name, "", false),
        qh::SumLine(digest + " *", name, "", false),
        qh::SumLine(std::string(qh::InfoOf(algorithm).tag) + " (", name, ") = " + digest, false),
    };
    qh::SumLineParser reader(algorithm);
    for (const std::string& line : written) {
        const std::optional<qh::SumEntry> entry = reader.Parse(line);
        Require(entry && entry->digest == digest && entry->name == name);
    }
    if (!whole)
        return 0;

    std::vector<std::string> asked;
    Check(algorithm, options, list, asked);
    for (const std::string& askedName : asked)
        Require(!askedName.empty() &&
                (list.find(askedName) != std::string_view::npos || list.find('\\') != std::string_view::npos));
    asked.clear();
    const std::string writtenList = written[0] + "\n# a comment\r\n\n" + written[1] + "\r\n" + written[2] + "\n";
    Require(Check(algorithm, options, writtenList, asked) == cli::kExitOk);
    Require(asked == std::vector<std::string>(3, name));
    return 0;
}
