// Helpers shared by the libFuzzer targets: a check that stops the run, and a
// scratch folder for the targets that work on files.
#ifndef QUILLHORN_FUZZ_SUPPORT_H
#define QUILLHORN_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qh::fuzz {

// A finding: libFuzzer reports the input and keeps it.
inline void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

// A folder of this process's own, made on first use (in /dev/shm where there
// is one, so that the syncs of the output files cost little) and removed at exit.
const std::string& ScratchFolder();

// Writes `bytes` to `path`, replacing it; aborts when it cannot.
void WriteFile(const std::string& path, std::string_view bytes);
// The bytes of `path`, or nothing when it cannot be read.
bool ReadFile(const std::string& path, std::string& bytes);
// The names in the scratch folder, sorted.
std::string ListScratch();
// Removes every file in the scratch folder.
void ClearScratch();

} // namespace qh::fuzz

#endif
