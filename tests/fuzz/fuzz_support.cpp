#include "fuzz_support.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace qh::fuzz {
namespace {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        std::abort();
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void Clear(const std::string& folder) {
    for (const std::string& name : Names(folder))
        unlink((folder + "/" + name).c_str());
}

struct Folder {
    std::string path = access("/dev/shm", W_OK) == 0 ? "/dev/shm/qh-fuzz-XXXXXX" : "/tmp/qh-fuzz-XXXXXX";
    Folder() {
        if (mkdtemp(path.data()) == nullptr)
            std::abort();
    }
    ~Folder() {
        Clear(path);
        rmdir(path.c_str());
    }
};

} // namespace

const std::string& ScratchFolder() {
    static const Folder folder;
    return folder.path;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0)
        std::abort();
}

bool ReadFile(const std::string& path, std::string& bytes) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr)
        return false;
    bytes.clear();
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        bytes.append(buffer, got);
    const bool ok = std::ferror(in) == 0;
    std::fclose(in);
    return ok;
}

std::string ListScratch() {
    std::string list;
    for (const std::string& name : Names(ScratchFolder()))
        list += name + "\n";
    return list;
}

void ClearScratch() {
    Clear(ScratchFolder());
}

} // namespace qh::fuzz
