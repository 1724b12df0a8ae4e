// libFuzzer target for the settings file library: loading any bytes either
// succeeds or throws excep, and whatever lines were loaded (all of them, or
// those before a bad line) save and load back as the same lines.
#include "config_file.h"
#include "fuzz_support.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// One scratch file per fuzzing process, in the scratch folder (memory where
// there is some: every save syncs the file).
const std::string& scratchFile() {
    static const std::string name = qh::fuzz::ScratchFolder() + "/quillhorn.conf";
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vyst::ansi::ConfigFile;
    using vyst::ansi::excep;
    const std::string& file = scratchFile();
    qh::fuzz::WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));

    ConfigFile first;
    try {
        first.Load(file);
    } catch (const excep& e) {
        if (e.code() == excep::CannotRead) {
            std::abort(); // the file was just written
        }
    }
    first.Save(); // loaded lines always save; a throw here is a finding

    ConfigFile second;
    second.Load(file);
    if (second.lines() != first.lines()) {
        std::abort();
    }
    return 0;
}
