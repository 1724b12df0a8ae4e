// libFuzzer target for the settings file library: loading any bytes either
// succeeds or throws excep, and whatever lines were loaded (all of them, or
// those before a bad line) save and load back as the same lines.
#include "config_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

// One scratch file per fuzzing process, removed at exit.
const std::string& scratchFile() {
    static const std::string name = [] {
        char pattern[] = "/tmp/qh-config-fuzz-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd < 0) {
            std::abort();
        }
        close(fd);
        std::atexit([] { unlink(scratchFile().c_str()); });
        return std::string(pattern);
    }();
    return name;
}

void writeBytes(const std::string& file, const std::uint8_t* data, std::size_t size) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vyst::ansi::ConfigFile;
    using vyst::ansi::excep;
    const std::string& file = scratchFile();
    writeBytes(file, data, size);

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
