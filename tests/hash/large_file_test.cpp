// Digests of a sparse file of 4 GiB + 3 bytes (zeros, then "abc"): every size,
// offset and bit count must be 64-bit for these to come out right. Each test
// computes the reference on a second thread while the file is digested.
#include "byte_source.h"
#include "crc.h"
#include "hash_test_support.h"
#include "md5.h"
#include "sha.h"

#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <string>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace qh {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

constexpr std::uint64_t kZeroBytes = std::uint64_t{4} << 30;
constexpr std::size_t kBlock = 1 << 20;

class LargeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kSanitized)
            GTEST_SKIP() << "the 4 GiB digests take too long under the sanitizers; the optimised build runs them";
        path_ = "/tmp/qh_large_test_" + std::to_string(::getpid()) + ".bin";
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0) << path_;
        const bool ok = ::ftruncate(fd, static_cast<off_t>(kZeroBytes)) == 0 &&
                        ::pwrite(fd, "abc", 3, static_cast<off_t>(kZeroBytes)) == 3;
        ::close(fd);
        ASSERT_TRUE(ok) << "cannot write " << path_;
    }
    void TearDown() override {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }

    std::string path_;
};

// The digest of the same bytes by OpenSSL, fed from memory.
std::string OpenSslDigest(const EVP_MD* md) {
    const std::vector<unsigned char> zeros(kBlock, 0);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, md, nullptr);
    for (std::uint64_t done = 0; done < kZeroBytes; done += kBlock)
        EVP_DigestUpdate(context, zeros.data(), kBlock);
    EVP_DigestUpdate(context, "abc", 3);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    EVP_DigestFinal_ex(context, digest, &length);
    EVP_MD_CTX_free(context);
    return test::ToHex(digest, length);
}

std::uint32_t ZlibCrc32() {
    const std::vector<unsigned char> zeros(kBlock, 0);
    uLong crc = crc32(0, Z_NULL, 0);
    for (std::uint64_t done = 0; done < kZeroBytes; done += kBlock)
        crc = crc32(crc, zeros.data(), kBlock);
    return static_cast<std::uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>("abc"), 3));
}

// The 16-bit CRCs as a most-significant-bit-first register over GF(2): a zero
// byte multiplies the register by x^8 modulo the polynomial, so 4 GiB of zeros
// multiply it by x^(8 * 2^32), found by repeated squaring.
struct Crc16Register {
    std::uint32_t poly; // without the x^16 term

    std::uint32_t MulMod(std::uint32_t a, std::uint32_t b) const {
        std::uint32_t product = 0;
        for (int bit = 15; bit >= 0; --bit) {
            product = (product & 0x8000) ? ((product << 1) ^ poly) & 0xFFFF : (product << 1) & 0xFFFF;
            if ((b >> bit) & 1)
                product ^= a;
        }
        return product;
    }
    std::uint32_t AfterZeros(std::uint32_t r, std::uint64_t count) const {
        std::uint32_t power = 1u << 8; // x^8, one zero byte
        for (; count != 0; count >>= 1, power = MulMod(power, power))
            if (count & 1)
                r = MulMod(r, power);
        return r;
    }
    std::uint32_t AfterByte(std::uint32_t r, std::uint8_t byte) const {
        r ^= std::uint32_t{byte} << 8;
        for (int k = 0; k < 8; ++k)
            r = (r & 0x8000) ? ((r << 1) ^ poly) & 0xFFFF : (r << 1) & 0xFFFF;
        return r;
    }
};

std::uint8_t Reflect8(std::uint8_t b) {
    std::uint8_t out = 0;
    for (int i = 0; i < 8; ++i)
        out = static_cast<std::uint8_t>(out | (((b >> i) & 1) << (7 - i)));
    return out;
}

std::uint16_t ReferenceCrc16Arc() {
    const Crc16Register crc{0x8005};
    std::uint32_t r = crc.AfterZeros(0, kZeroBytes);
    for (char ch : std::string("abc"))
        r = crc.AfterByte(r, Reflect8(static_cast<std::uint8_t>(ch)));
    return static_cast<std::uint16_t>(Reflect8(static_cast<std::uint8_t>(r)) << 8 |
                                      Reflect8(static_cast<std::uint8_t>(r >> 8)));
}

std::uint16_t ReferenceCrcCcitt() {
    const Crc16Register crc{0x1021};
    std::uint32_t r = crc.AfterZeros(0xFFFF, kZeroBytes);
    for (char ch : std::string("abc"))
        r = crc.AfterByte(r, static_cast<std::uint8_t>(ch));
    return static_cast<std::uint16_t>(r);
}

TEST(Crc16RegisterTest, SkippingZerosMatchesFeedingThem) {
    const Crc16Register crc{0x1021};
    std::uint32_t r = 0xFFFF;
    for (int i = 0; i < 1000; ++i)
        r = crc.AfterByte(r, 0);
    EXPECT_EQ(crc.AfterZeros(0xFFFF, 1000), r);
}

TEST_F(LargeFileTest, Md5) {
    auto reference = std::async(std::launch::async, OpenSslDigest, EVP_md5());
    EXPECT_EQ(Md5File(path_), reference.get());
}

class LargeFileShaTest : public LargeFileTest, public ::testing::WithParamInterface<ShaVariant> {};

TEST_P(LargeFileShaTest, Digest) {
    const ShaVariant variant = GetParam();
    const EVP_MD* md = variant == ShaVariant::Sha1     ? EVP_sha1()
                       : variant == ShaVariant::Sha224 ? EVP_sha224()
                       : variant == ShaVariant::Sha256 ? EVP_sha256()
                       : variant == ShaVariant::Sha384 ? EVP_sha384()
                                                       : EVP_sha512();
    auto reference = std::async(std::launch::async, OpenSslDigest, md);
    FileSource source(path_);
    ASSERT_EQ(source.Size(), kZeroBytes + 3);
    std::uint8_t digest[64] = {};
    EXPECT_TRUE(ShaCompute(variant, source, source.Size(), digest));
    EXPECT_EQ(test::ToHex(digest, ShaDigestLength(variant)), reference.get());
}

INSTANTIATE_TEST_SUITE_P(Sha, LargeFileShaTest,
                         ::testing::Values(ShaVariant::Sha1, ShaVariant::Sha224, ShaVariant::Sha256, ShaVariant::Sha384,
                                           ShaVariant::Sha512));

TEST_F(LargeFileTest, EveryCrc) {
    auto reference32 = std::async(std::launch::async, ZlibCrc32);
    FileSource source(path_);
    ASSERT_EQ(source.Size(), kZeroBytes + 3);
    CrcCalculator crc;
    EXPECT_EQ(crc.Crc32(source, source.Size()), reference32.get());
    EXPECT_EQ(crc.Crc16(source, source.Size()), ReferenceCrc16Arc());
    EXPECT_EQ(crc.CrcCcitt(source, source.Size()), ReferenceCrcCcitt());
    EXPECT_EQ(source.Cursor(), 0u);
}

} // namespace
} // namespace qh
