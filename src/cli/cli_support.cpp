#include "cli_support.h"

#include <cerrno>
#include <cstring>

namespace qh::cli {
namespace {
constexpr size_t kChunk = 1 << 20;
}

void PrintError(std::string_view message) {
    std::fprintf(stderr, "quillhorn-cli: %.*s\n", static_cast<int>(message.size()), message.data());
}

int UsageError(std::string_view command, std::string_view message) {
    PrintError(message);
    std::fprintf(stderr, "Try 'quillhorn-cli %.*s --help'.\n", static_cast<int>(command.size()), command.data());
    return kExitUsage;
}

InputFile::InputFile(const std::string& name) {
    if (name.empty() || name == "-") {
        file_ = stdin;
        display_.assign(1, '-'); // not = "-": GCC 12 warns wrongly on that (-Wrestrict)
        return;
    }
    display_ = name;
    file_ = std::fopen(name.c_str(), "rb");
    owned_ = file_ != nullptr;
    if (!file_) {
        std::string message = name;
        message.append(": ").append(std::strerror(errno));
        PrintError(message);
    }
}

InputFile::~InputFile() {
    if (owned_)
        std::fclose(file_);
}

bool InputFile::read(std::string& buffer) {
    buffer.resize(kChunk);
    const size_t got = std::fread(buffer.data(), 1, kChunk, file_);
    buffer.resize(got);
    if (got == 0 && std::ferror(file_)) {
        std::string message = display_;
        message.append(": read error");
        PrintError(message);
        return false;
    }
    return true;
}

bool WriteStdout(std::string_view bytes) {
    if (bytes.empty())
        return true;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
        PrintError("cannot write to standard output");
        return false;
    }
    return true;
}

} // namespace qh::cli
