// The checking of sum lists (sum_file.h reads their lines) with the messages,
// warnings and exit statuses of coreutils' --check.
#ifndef QUILLHORN_SUM_CHECK_H
#define QUILLHORN_SUM_CHECK_H

#include "digest_algorithm.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qh::cli {

struct CheckAlgorithm {
    DigestAlgorithm algorithm;
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
