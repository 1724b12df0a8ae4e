// The SHA family (FIPS 180-2): SHA-1, SHA-224, SHA-256, SHA-384, SHA-512.
#ifndef QUILLHORN_SHA_H
#define QUILLHORN_SHA_H

#include "progress.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qh {

class ByteSource;

enum class ShaVariant { Sha1 = 0, Sha224 = 1, Sha256 = 2, Sha384 = 3, Sha512 = 4 };

// 20, 28, 32, 48 or 64.
std::size_t ShaDigestLength(ShaVariant variant);

// Digests `length` bytes of `source` from its cursor on (the cursor moves past
// them) into `digest`, which holds at least 64 bytes. Bytes past the end of
// the source count as zeros, as At() gives them. False, and no digest, when
// the source has Failed or `progress` (may be null; it counts the bytes and
// is looked at after every view of the source) was cancelled.
bool ShaCompute(ShaVariant variant, ByteSource& source, std::uint64_t length, std::uint8_t* digest,
                Progress* progress = nullptr);

// One-shot form over memory; `digest` holds at least 64 bytes.
void ShaBuffer(ShaVariant variant, std::string_view bytes, std::uint8_t* digest);

// Streaming form of any variant: Update any number of times, then Finish once.
class ShaHasher {
public:
    explicit ShaHasher(ShaVariant variant);
    void Update(const void* data, std::size_t length);
    // Writes ShaDigestLength() bytes.
    void Finish(std::uint8_t* digest);
    ShaVariant variant() const { return variant_; }

private:
    void compress(const std::uint8_t* data, std::size_t blocks);

    ShaVariant variant_;
    std::size_t blockLength_;                                                      // 64, or 128 for SHA-384/512
    void (*blocks32_)(std::uint32_t*, const std::uint8_t*, std::size_t) = nullptr; // SHA-1, SHA-224/256
    void (*blocks64_)(std::uint64_t*, const std::uint8_t*, std::size_t) = nullptr; // SHA-384/512
    union {
        std::uint32_t state32_[8]; // SHA-1 uses the first five
        std::uint64_t state64_[8];
    };
    std::uint64_t length_ = 0; // bytes so far
    std::uint8_t buffer_[128];
    std::size_t buffered_ = 0;
};

} // namespace qh

#endif
