#include "bench_data.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace qh::bench {
namespace {

std::vector<std::uint8_t> makeBytes() {
    std::vector<std::uint8_t> bytes(kInputLength);
    std::mt19937_64 generator(20240601);
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t word = generator();
        for (int k = 0; k < 8; ++k)
            bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
    }
    return bytes;
}

class TempInputFile {
public:
    TempInputFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/qh_hash_bench_" + std::to_string(::getpid()) + ".bin";
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        const bool ok = file && std::fwrite(InputBytes(), 1, kInputLength, file) == kInputLength;
        if (!file || std::fclose(file) != 0 || !ok)
            throw std::runtime_error("cannot write " + path_);
    }
    ~TempInputFile() { std::remove(path_.c_str()); }
    TempInputFile(const TempInputFile&) = delete;
    TempInputFile& operator=(const TempInputFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace

const std::uint8_t* InputBytes() {
    static const std::vector<std::uint8_t> bytes = makeBytes();
    return bytes.data();
}

const std::string& InputFilePath() {
    static const TempInputFile file;
    return file.path();
}

} // namespace qh::bench
