// Shared helpers of the hash tests: reproducible random bytes, the block
// boundary lengths, temporary files and hexadecimal text.
#ifndef QUILLHORN_HASH_TEST_SUPPORT_H
#define QUILLHORN_HASH_TEST_SUPPORT_H

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>

namespace qh::test {

// Lengths around the 64- and 128-byte block boundaries of the digests, where
// the padding spills into a second block.
inline constexpr std::array<std::size_t, 12> kBoundaryLengths = {0, 1, 55, 56, 63, 64, 111, 112, 119, 120, 127, 128};

// `n` pseudo-random bytes, the same for the same seed.
inline std::string RandomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(n, '\0');
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        std::uint32_t word = generator();
        for (int k = 0; k < 4; ++k)
            bytes[i + k] = static_cast<char>(word >> (8 * k));
    }
    for (; i < n; ++i)
        bytes[i] = static_cast<char>(generator());
    return bytes;
}

// Bytes as lower-case hexadecimal digits, no separators.
inline std::string ToHex(std::string_view bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}
inline std::string ToHex(const std::uint8_t* bytes, std::size_t n) {
    return ToHex(std::string_view(reinterpret_cast<const char*>(bytes), n));
}

// A file under /tmp holding the given bytes, removed when the object goes.
class TempFile {
public:
    explicit TempFile(std::string_view bytes = {}) {
        static std::atomic<unsigned> counter{0};
        path_ = "/tmp/qh_hash_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".bin";
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (!file)
            throw std::runtime_error("cannot create " + path_);
        bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok = std::fclose(file) == 0 && ok;
        if (!ok)
            throw std::runtime_error("cannot write " + path_);
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace qh::test

#endif
