// The SHA family's common part: the initial values, buffering of partial
// blocks, the completion (0x80, zeros, the bit length) and the choice of block
// function. The block functions live in sha1.cpp, sha256.cpp, sha512.cpp and
// sha_x86.cpp.
#include "sha.h"

#include "byte_source.h"
#include "cpu_features.h"
#include "sha_internal.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace qh {
namespace sha {
namespace {

std::atomic<bool> portableOnly{false};

constexpr std::uint32_t kInit1[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};
constexpr std::uint32_t kInit224[8] = {0xc1059ed8, 0x367cd507, 0x3070dd17, 0xf70e5939,
                                       0xffc00b31, 0x68581511, 0x64f98fa7, 0xbefa4fa4};
constexpr std::uint32_t kInit256[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
constexpr std::uint64_t kInit384[8] = {0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17, 0x152fecd8f70e5939,
                                       0x67332667ffc00b31, 0x8eb44a8768581511, 0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4};
constexpr std::uint64_t kInit512[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b, 0xa54ff53a5f1d36f1,
                                       0x510e527fade682d1, 0x9b05688c2b3e6c1f, 0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};

bool Accelerated() {
    return !portableOnly.load(std::memory_order_relaxed) && HasShaExtensions();
}

} // namespace

bool HasShaExtensions() {
#if defined(__x86_64__)
    const CpuFeatures& cpu = GetCpuFeatures();
    return cpu.sha && cpu.sse41 && cpu.ssse3;
#else
    return false;
#endif
}

Blocks32 Sha1Blocks() {
#if defined(__x86_64__)
    if (Accelerated())
        return Sha1BlocksShaNi;
#endif
    return Sha1BlocksPortable;
}

Blocks32 Sha256Blocks() {
#if defined(__x86_64__)
    if (Accelerated())
        return Sha256BlocksShaNi;
#endif
    return Sha256BlocksPortable;
}

bool HasAvx2() {
#if defined(__x86_64__)
    // The compiler's check also asks whether the system saves the vector
    // registers; the feature list honours QUILLHORN_PORTABLE.
    return GetCpuFeatures().avx2 && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2");
#else
    return false;
#endif
}

bool HasAvx512() {
#if defined(__x86_64__)
    return HasAvx2() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
#else
    return false;
#endif
}

Blocks64 Sha512Blocks() {
#if defined(__x86_64__)
    if (!portableOnly.load(std::memory_order_relaxed)) {
        if (HasAvx512())
            return Sha512BlocksAvx512;
        if (HasAvx2())
            return Sha512BlocksAvx2;
    }
#endif
    return Sha512BlocksPortable;
}

void SetPortableOnly(bool portable) {
    portableOnly.store(portable, std::memory_order_relaxed);
}

} // namespace sha

std::size_t ShaDigestLength(ShaVariant variant) {
    switch (variant) {
    case ShaVariant::Sha224:
        return 28;
    case ShaVariant::Sha256:
        return 32;
    case ShaVariant::Sha384:
        return 48;
    case ShaVariant::Sha512:
        return 64;
    case ShaVariant::Sha1:
        break;
    }
    return 20; // SHA-1, and any value outside the enumeration
}

ShaHasher::ShaHasher(ShaVariant variant) : variant_(variant), blockLength_(64) {
    switch (variant) {
    case ShaVariant::Sha224:
        std::memcpy(state32_, sha::kInit224, sizeof sha::kInit224);
        blocks32_ = sha::Sha256Blocks();
        break;
    case ShaVariant::Sha256:
        std::memcpy(state32_, sha::kInit256, sizeof sha::kInit256);
        blocks32_ = sha::Sha256Blocks();
        break;
    case ShaVariant::Sha384:
        std::memcpy(state64_, sha::kInit384, sizeof sha::kInit384);
        blocks64_ = sha::Sha512Blocks();
        blockLength_ = 128;
        break;
    case ShaVariant::Sha512:
        std::memcpy(state64_, sha::kInit512, sizeof sha::kInit512);
        blocks64_ = sha::Sha512Blocks();
        blockLength_ = 128;
        break;
    default: // SHA-1, and any value outside the enumeration
        variant_ = ShaVariant::Sha1;
        std::memset(state32_, 0, sizeof state32_);
        std::memcpy(state32_, sha::kInit1, sizeof sha::kInit1);
        blocks32_ = sha::Sha1Blocks();
        break;
    }
}

void ShaHasher::compress(const std::uint8_t* data, std::size_t blocks) {
    if (blocks64_)
        blocks64_(state64_, data, blocks);
    else
        blocks32_(state32_, data, blocks);
}

void ShaHasher::Update(const void* data, std::size_t length) {
    if (length == 0)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    length_ += length;
    if (buffered_ != 0) {
        const std::size_t take = std::min(blockLength_ - buffered_, length);
        std::memcpy(buffer_ + buffered_, bytes, take);
        buffered_ += take;
        bytes += take;
        length -= take;
        if (buffered_ < blockLength_)
            return;
        compress(buffer_, 1);
        buffered_ = 0;
    }
    // Whole blocks straight from the caller's bytes, without copying them.
    const std::size_t blocks = length / blockLength_;
    if (blocks != 0) {
        compress(bytes, blocks);
        bytes += blocks * blockLength_;
        length -= blocks * blockLength_;
    }
    if (length != 0)
        std::memcpy(buffer_, bytes, length);
    buffered_ = length;
}

void ShaHasher::Finish(std::uint8_t* digest) {
    // The length field is 64 bits (128 for SHA-384/512) holding the message
    // length in bits. SHA-384/512 get the full 128-bit count; for the others
    // the count wraps past 2^64 bits (2 EiB), beyond what the algorithms define.
    const std::size_t fieldLength = blockLength_ == 128 ? 16 : 8;
    buffer_[buffered_++] = 0x80;
    if (buffered_ > blockLength_ - fieldLength) {
        std::memset(buffer_ + buffered_, 0, blockLength_ - buffered_);
        compress(buffer_, 1);
        buffered_ = 0;
    }
    std::memset(buffer_ + buffered_, 0, blockLength_ - 8 - buffered_);
    if (fieldLength == 16)
        sha::StoreBe64(buffer_ + blockLength_ - 16, length_ >> 61);
    sha::StoreBe64(buffer_ + blockLength_ - 8, length_ << 3);
    compress(buffer_, 1);
    buffered_ = 0;

    const std::size_t digestLength = ShaDigestLength(variant_);
    if (blocks64_) {
        for (std::size_t i = 0; i < digestLength / 8; ++i)
            sha::StoreBe64(digest + 8 * i, state64_[i]);
    } else {
        for (std::size_t i = 0; i < digestLength / 4; ++i)
            sha::StoreBe32(digest + 4 * i, state32_[i]);
    }
}

void ShaBuffer(ShaVariant variant, std::string_view bytes, std::uint8_t* digest) {
    ShaHasher hasher(variant);
    hasher.Update(bytes.data(), bytes.size());
    hasher.Finish(digest);
}

bool ShaCompute(ShaVariant variant, ByteSource& source, std::uint64_t length, std::uint8_t* digest,
                Progress* progress) {
    ShaHasher hasher(variant);
    if (progress)
        progress->SetTotal(length);
    std::uint64_t left = length;
    while (left != 0) {
        const std::span<const std::uint8_t> run = source.View(left);
        if (run.empty())
            break;
        const std::uint64_t taken = std::min<std::uint64_t>(run.size(), left);
        hasher.Update(run.data(), taken);
        source.Advance(taken);
        left -= taken;
        AddProgress(progress, taken);
        if (IsCancelled(progress))
            return false;
    }
    // Bytes that could not be read are never digested: no digest then.
    if (source.Failed())
        return false;
    // Past the end of the source bytes read as zeros, as At() gives them.
    if (left != 0) {
        static constexpr std::uint8_t kZeros[4096] = {};
        source.Advance(left);
        while (left != 0) {
            const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof kZeros));
            hasher.Update(kZeros, part);
            left -= part;
        }
    }
    hasher.Finish(digest);
    return true;
}

} // namespace qh
