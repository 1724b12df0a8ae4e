#include "folder_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qh {

std::optional<std::vector<std::string>> FilesInFolder(const std::string& folder, Progress* progress) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied, error);
    if (error)
        return std::nullopt;
    std::vector<std::string> files;
    for (const fs::recursive_directory_iterator end; walk != end; walk.increment(error)) {
        if (error)
            return std::nullopt;
        if (IsCancelled(progress))
            return std::nullopt;
        std::error_code statError;
        if (walk->is_regular_file(statError)) { // a link is followed here, to a file only
            files.push_back(walk->path().string());
            AddProgress(progress, 1);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace qh
