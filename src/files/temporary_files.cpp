#include "temporary_files.h"

#include <filesystem>
#include <unistd.h>
#include <vector>

namespace qh {
namespace {

struct Entry {
    std::string path;
    bool folder = false;
};

// Recursive: the holder of a TemporaryFilesLock registers and forgets while it
// holds it.
std::recursive_mutex& registryMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

std::vector<Entry>& entries() {
    static std::vector<Entry> list;
    return list;
}

void record(const std::string& path, bool folder) {
    const std::lock_guard<std::recursive_mutex> lock(registryMutex());
    entries().push_back({path, folder});
}

} // namespace

TemporaryFilesLock::TemporaryFilesLock() : lock_(registryMutex()) {}

TemporaryFilesLock::~TemporaryFilesLock() = default;

void RegisterTemporaryFile(const std::string& path) {
    record(path, false);
}

void RegisterTemporaryFolder(const std::string& path) {
    record(path, true);
}

void ForgetTemporary(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> lock(registryMutex());
    std::vector<Entry>& list = entries();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->path == path) {
            list.erase(it);
            return;
        }
    }
}

void RemoveTemporaryFiles() {
    registryMutex().lock(); // never unlocked: the process ends next
    for (const Entry& entry : entries()) {
        if (!entry.folder) {
            ::unlink(entry.path.c_str());
            continue;
        }
        // Another library may be making a file in the folder right now; a few
        // rounds catch what appeared while the folder was emptied.
        for (int round = 0; round < 3; ++round) {
            std::error_code ignored;
            std::filesystem::remove_all(entry.path, ignored);
            if (!std::filesystem::exists(entry.path, ignored))
                break;
        }
    }
    entries().clear();
}

} // namespace qh
