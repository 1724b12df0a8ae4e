// The nine digests and check values under one name each, with what the
// commands, the sum lists and the panes call them, and one running digest that
// can be any of them.
#ifndef QUILLHORN_DIGEST_ALGORITHM_H
#define QUILLHORN_DIGEST_ALGORITHM_H

#include "md5.h"
#include "sha.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qh {

enum class DigestAlgorithm { Md5, Sha1, Sha224, Sha256, Sha384, Sha512, Crc16, CrcCcitt, Crc32 };

inline constexpr std::array<DigestAlgorithm, 9> kDigestAlgorithms = {
    DigestAlgorithm::Md5,    DigestAlgorithm::Sha1,     DigestAlgorithm::Sha224,
    DigestAlgorithm::Sha256, DigestAlgorithm::Sha384,   DigestAlgorithm::Sha512,
    DigestAlgorithm::Crc16,  DigestAlgorithm::CrcCcitt, DigestAlgorithm::Crc32};

struct DigestAlgorithmInfo {
    std::string_view command;    // the command's name: "md5", "sha256", "crc-ccitt"
    std::string_view tag;        // the name in tagged sum lines: "MD5", "SHA256", "CRC-CCITT"
    std::string_view opensslTag; // OpenSSL 3's tag where it differs ("SHA2-256"), else empty
    std::string_view title;      // the name the panes show: "MD5", "SHA-256", "CRC-CCITT"
    std::size_t digestBytes;     // a check value counts as its big-endian bytes
};

const DigestAlgorithmInfo& InfoOf(DigestAlgorithm algorithm);

// By the command's name ("sha256"); nothing for any other name.
std::optional<DigestAlgorithm> FindDigestAlgorithm(std::string_view command);

// The algorithms whose digests are `hexDigits` hexadecimal digits long: one,
// except for 4 digits (CRC-16 and CRC-CCITT), and none for other lengths.
std::vector<DigestAlgorithm> AlgorithmsOfLength(std::size_t hexDigits);

bool IsCrc(DigestAlgorithm algorithm);

// One running digest or check value of any of the algorithms: Update any number
// of times, then Finish once.
class AnyDigest {
public:
    explicit AnyDigest(DigestAlgorithm algorithm);
    void Update(const void* data, std::size_t length);
    // The digest bytes (a check value as its big-endian bytes, so that its
    // hexadecimal form keeps its leading zeros).
    std::string Finish();
    DigestAlgorithm algorithm() const { return algorithm_; }

private:
    DigestAlgorithm algorithm_;
    Md5 md5_;
    ShaHasher sha_;
    std::uint32_t crc_ = 0;
};

// Bytes as hexadecimal digits, two per byte.
std::string ToHex(std::string_view bytes, bool upper = false);

} // namespace qh

#endif
