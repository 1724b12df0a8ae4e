#include "digest_algorithm.h"

#include "crc.h"

#include <algorithm>

namespace qh {
namespace {

// In the order of DigestAlgorithm.
constexpr DigestAlgorithmInfo kInfo[] = {
    {"md5", "MD5", "", "MD5", Md5::kDigestLength},
    {"sha1", "SHA1", "", "SHA-1", 20},
    {"sha224", "SHA224", "SHA2-224", "SHA-224", 28},
    {"sha256", "SHA256", "SHA2-256", "SHA-256", 32},
    {"sha384", "SHA384", "SHA2-384", "SHA-384", 48},
    {"sha512", "SHA512", "SHA2-512", "SHA-512", 64},
    {"crc16", "CRC16", "", "CRC-16", 2},
    {"crc-ccitt", "CRC-CCITT", "", "CRC-CCITT", 2},
    {"crc32", "CRC32", "", "CRC-32", 4},
};

ShaVariant shaVariantOf(DigestAlgorithm algorithm) {
    switch (algorithm) {
    case DigestAlgorithm::Sha224:
        return ShaVariant::Sha224;
    case DigestAlgorithm::Sha256:
        return ShaVariant::Sha256;
    case DigestAlgorithm::Sha384:
        return ShaVariant::Sha384;
    case DigestAlgorithm::Sha512:
        return ShaVariant::Sha512;
    default:
        return ShaVariant::Sha1;
    }
}

} // namespace

const DigestAlgorithmInfo& InfoOf(DigestAlgorithm algorithm) {
    return kInfo[static_cast<int>(algorithm)];
}

std::optional<DigestAlgorithm> FindDigestAlgorithm(std::string_view command) {
    for (DigestAlgorithm algorithm : kDigestAlgorithms)
        if (InfoOf(algorithm).command == command)
            return algorithm;
    return std::nullopt;
}

std::vector<DigestAlgorithm> AlgorithmsOfLength(std::size_t hexDigits) {
    std::vector<DigestAlgorithm> found;
    for (DigestAlgorithm algorithm : kDigestAlgorithms)
        if (2 * InfoOf(algorithm).digestBytes == hexDigits)
            found.push_back(algorithm);
    return found;
}

bool IsCrc(DigestAlgorithm algorithm) {
    return algorithm == DigestAlgorithm::Crc16 || algorithm == DigestAlgorithm::CrcCcitt ||
           algorithm == DigestAlgorithm::Crc32;
}

AnyDigest::AnyDigest(DigestAlgorithm algorithm) : algorithm_(algorithm), sha_(shaVariantOf(algorithm)) {
    if (algorithm == DigestAlgorithm::Crc16)
        crc_ = Crc16Arc::kInit;
    else if (algorithm == DigestAlgorithm::CrcCcitt)
        crc_ = CrcCcittFalse::kInit;
    else
        crc_ = Crc32IsoHdlc::kInit;
}

void AnyDigest::Update(const void* data, std::size_t length) {
    switch (algorithm_) {
    case DigestAlgorithm::Md5:
        md5_.Update(data, length);
        break;
    case DigestAlgorithm::Crc16:
        crc_ = Crc16Arc::Update(static_cast<std::uint16_t>(crc_), data, length);
        break;
    case DigestAlgorithm::CrcCcitt:
        crc_ = CrcCcittFalse::Update(static_cast<std::uint16_t>(crc_), data, length);
        break;
    case DigestAlgorithm::Crc32:
        crc_ = Crc32IsoHdlc::Update(crc_, data, length);
        break;
    default:
        sha_.Update(data, length);
        break;
    }
}

std::string AnyDigest::Finish() {
    std::string digest(InfoOf(algorithm_).digestBytes, '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(digest.data());
    if (algorithm_ == DigestAlgorithm::Md5) {
        const auto bytes = md5_.Finish();
        std::copy(bytes.begin(), bytes.end(), out);
    } else if (IsCrc(algorithm_)) {
        const std::uint32_t value = algorithm_ == DigestAlgorithm::Crc16      ? Crc16Arc::Final(crc_)
                                    : algorithm_ == DigestAlgorithm::CrcCcitt ? CrcCcittFalse::Final(crc_)
                                                                              : Crc32IsoHdlc::Final(crc_);
        for (std::size_t i = 0; i < digest.size(); ++i)
            out[i] = static_cast<std::uint8_t>(value >> (8 * (digest.size() - 1 - i)));
    } else {
        std::uint8_t bytes[64];
        sha_.Finish(bytes);
        std::copy(bytes, bytes + digest.size(), out);
    }
    return digest;
}

std::string ToHex(std::string_view bytes, bool upper) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

} // namespace qh
