#include "byte_source.h"
#include "hash_test_support.h"
#include "sha.h"
#include "sha_internal.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace qh {
namespace {

using test::RandomBytes;
using test::ToHex;

constexpr ShaVariant kVariants[] = {ShaVariant::Sha1, ShaVariant::Sha224, ShaVariant::Sha256, ShaVariant::Sha384,
                                    ShaVariant::Sha512};

const char* Name(ShaVariant variant) {
    static const char* const kNames[] = {"SHA-1", "SHA-224", "SHA-256", "SHA-384", "SHA-512"};
    return kNames[static_cast<int>(variant)];
}

std::string Hex(ShaVariant variant, const std::uint8_t* digest) {
    return ToHex(digest, ShaDigestLength(variant));
}

std::string Ours(ShaVariant variant, std::string_view bytes) {
    std::uint8_t digest[64];
    ShaBuffer(variant, bytes, digest);
    return Hex(variant, digest);
}

std::string Reference(ShaVariant variant, std::string_view bytes) {
    const EVP_MD* kinds[] = {EVP_sha1(), EVP_sha224(), EVP_sha256(), EVP_sha384(), EVP_sha512()};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest, &length, kinds[static_cast<int>(variant)], nullptr), 1);
    return ToHex(digest, length);
}

// Runs the hashers made in its lifetime on the portable block functions.
class PortableOnly {
public:
    PortableOnly() { sha::SetPortableOnly(true); }
    ~PortableOnly() { sha::SetPortableOnly(false); }
};

// A source that hands out its bytes in short runs of varying length, and
// returns nothing from `end` on, like a file window that cannot be mapped.
class ChoppySource final : public ByteSource {
public:
    ChoppySource(std::string bytes, std::uint64_t end) : bytes_(std::move(bytes)), end_(end) {}

    std::uint8_t At(std::uint64_t i) override {
        const std::uint64_t index = cursor_ + i;
        return index < end_ && index < bytes_.size() ? static_cast<std::uint8_t>(bytes_[index]) : 0;
    }
    std::uint8_t Current() override { return At(0); }
    void Advance(std::uint64_t n) override { cursor_ += n; }
    void Next() override { ++cursor_; }
    void Back(std::uint64_t n) override { cursor_ -= n; }
    void Prev() override { --cursor_; }
    std::uint64_t Size() const override { return bytes_.size(); }
    // Bytes from `end` on cannot be read, as in a file with a bad sector.
    bool Failed() const override { return failed_; }
    std::span<const std::uint8_t> View(std::uint64_t want) override {
        const std::uint64_t limit = std::min<std::uint64_t>(end_, bytes_.size());
        failed_ = failed_ || (cursor_ >= end_ && cursor_ < bytes_.size());
        if (cursor_ >= limit || want == 0)
            return {};
        const std::uint64_t run = std::min({want, limit - cursor_, std::uint64_t{1} + (calls_++ * 37) % 150});
        return {reinterpret_cast<const std::uint8_t*>(bytes_.data()) + cursor_, static_cast<std::size_t>(run)};
    }

private:
    std::string bytes_;
    std::uint64_t end_;
    std::uint64_t calls_ = 0;
    bool failed_ = false;
};

TEST(Sha, KnownAnswers) {
    struct Case {
        ShaVariant variant;
        std::string input;
        const char* digest;
    };
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::string four =
        "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopq"
        "rsmnopqrstnopqrstu";
    const std::string million(1000000, 'a');
    const Case cases[] = {
        {ShaVariant::Sha1, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {ShaVariant::Sha1, two, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {ShaVariant::Sha1, million, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {ShaVariant::Sha224, "abc", "23097d223405d8228642a477bda255b32aadbce4bda0b3f7e36c9da7"},
        {ShaVariant::Sha224, two, "75388b16512776cc5dba5da1fd890150b0c6455cb4f58b1952522525"},
        {ShaVariant::Sha224, million, "20794655980c91d8bbb4c1ea97618a4bf03f42581948b2ee4ee7ad67"},
        {ShaVariant::Sha256, "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {ShaVariant::Sha256, two, "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {ShaVariant::Sha256, million, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {ShaVariant::Sha384, "abc",
         "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7"},
        {ShaVariant::Sha384, four,
         "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa91746039"},
        {ShaVariant::Sha384, million,
         "9d0e1809716474cb086e834e310a4a1ced149e9c00f248527972cec5704c2a5b07b8b3dc38ecc4ebae97ddd87f3d8985"},
        {ShaVariant::Sha512, "abc",
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce"
         "8"
         "0e2a9ac94fa54ca49f"},
        {ShaVariant::Sha512, four,
         "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd"
         "26545e96e55b874be909"},
        {ShaVariant::Sha512, million,
         "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973ebde0ff244877ea60a4cb0432ce577c31beb009c5c2c49a"
         "a"
         "2e4eadb217ad8cc09b"},
    };
    for (bool portable : {false, true}) {
        std::optional<PortableOnly> guard;
        if (portable)
            guard.emplace();
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << Name(c.variant) << " of " << c.input.size() << " bytes" << (portable ? ", portable" : ""));
            EXPECT_EQ(Ours(c.variant, c.input), c.digest);
            EXPECT_EQ(ShaDigestLength(c.variant) * 2, std::string_view(c.digest).size());
        }
    }
}

// Every length up to 300 and the block and length-field boundaries, and a few
// MiB, against OpenSSL, on the accelerated and the portable block functions.
TEST(Sha, MatchesOpenSslAtEveryLength) {
    const std::string bytes = RandomBytes(3 * 1024 * 1024 + 77, 180);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 300; ++n)
        lengths.push_back(n);
    lengths.insert(lengths.end(), test::kBoundaryLengths.begin(), test::kBoundaryLengths.end());
    lengths.push_back(bytes.size() - 3);
    for (bool portable : {false, true}) {
        std::optional<PortableOnly> guard;
        if (portable)
            guard.emplace();
        for (ShaVariant variant : kVariants) {
            for (std::size_t n : lengths) {
                const std::string_view input(bytes.data() + 3, n); // not 8-byte aligned
                ASSERT_EQ(Ours(variant, input), Reference(variant, input))
                    << Name(variant) << " of " << n << " bytes" << (portable ? ", portable" : "");
            }
        }
    }
}

// The accelerated block functions against the portable ones, over many
// blocks from arbitrary chaining words and unaligned data.
TEST(Sha, AcceleratedBlocksMatchPortable) {
#if defined(__x86_64__)
    const std::string data = RandomBytes(128 * 40 + 8, 7);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    struct Blocks32Case {
        const char* name;
        bool available;
        sha::Blocks32 fast, slow;
        std::size_t words;
    };
    const Blocks32Case cases32[] = {
        {"SHA-1", sha::HasShaExtensions(), sha::Sha1BlocksShaNi, sha::Sha1BlocksPortable, 5},
        {"SHA-256", sha::HasShaExtensions(), sha::Sha256BlocksShaNi, sha::Sha256BlocksPortable, 8},
    };
    const std::pair<bool, sha::Blocks64> cases64[] = {{sha::HasAvx2(), sha::Sha512BlocksAvx2},
                                                      {sha::HasAvx512(), sha::Sha512BlocksAvx512}};
    int ran = 0;
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        const std::string start = RandomBytes(64, seed);
        for (const Blocks32Case& c : cases32) {
            if (!c.available)
                continue;
            std::uint32_t fast[8], slow[8];
            std::memcpy(fast, start.data(), sizeof fast);
            std::memcpy(slow, start.data(), sizeof slow);
            c.fast(fast, bytes + seed, 40 - seed);
            c.slow(slow, bytes + seed, 40 - seed);
            EXPECT_EQ(std::vector(fast, fast + c.words), std::vector(slow, slow + c.words)) << c.name << ", " << seed;
            ++ran;
        }
        for (std::size_t i = 0; i < std::size(cases64); ++i) {
            if (!cases64[i].first)
                continue;
            std::uint64_t fast[8], slow[8];
            std::memcpy(fast, start.data(), sizeof fast);
            std::memcpy(slow, start.data(), sizeof slow);
            cases64[i].second(fast, bytes + seed, 40 - seed);
            sha::Sha512BlocksPortable(slow, bytes + seed, 40 - seed);
            EXPECT_EQ(std::vector(fast, fast + 8), std::vector(slow, slow + 8)) << "SHA-512 #" << i << ", " << seed;
            ++ran;
        }
    }
    if (ran == 0)
        GTEST_SKIP() << "no accelerated block functions on this processor";
#else
    GTEST_SKIP() << "no accelerated block functions on this architecture";
#endif
}

TEST(Sha, StreamingGivesTheOneShotDigestForEverySplit) {
    const std::string bytes = RandomBytes(300, 99);
    for (ShaVariant variant : kVariants) {
        for (std::size_t n : {std::size_t{0}, std::size_t{63}, std::size_t{129}, std::size_t{300}}) {
            const std::string_view input(bytes.data(), n);
            const std::string expected = Ours(variant, input);
            for (std::size_t split = 0; split <= n; ++split) {
                ShaHasher hasher(variant);
                hasher.Update(input.data(), split);
                hasher.Update(input.data() + split, n - split);
                std::uint8_t digest[64];
                hasher.Finish(digest);
                ASSERT_EQ(Hex(variant, digest), expected) << Name(variant) << ", " << n << " bytes split at " << split;
            }
            // Byte by byte, and in runs of 1, 2, 3, ... bytes.
            ShaHasher single(variant), growing(variant);
            for (char ch : input)
                single.Update(&ch, 1);
            for (std::size_t at = 0, run = 1; at < n; at += run, ++run)
                growing.Update(input.data() + at, std::min(run, n - at));
            std::uint8_t digest[64];
            single.Finish(digest);
            EXPECT_EQ(Hex(variant, digest), expected) << Name(variant) << ", " << n << " bytes one at a time";
            growing.Finish(digest);
            EXPECT_EQ(Hex(variant, digest), expected) << Name(variant) << ", " << n << " bytes in growing runs";
        }
    }
}

TEST(Sha, ComputeDigestsFromTheCursorAndMovesPastTheBytes) {
    const std::string bytes = RandomBytes(5000, 3);
    for (ShaVariant variant : kVariants) {
        SCOPED_TRACE(Name(variant));
        MemorySource memory(bytes);
        memory.Advance(123);
        std::uint8_t digest[64];
        EXPECT_TRUE(ShaCompute(variant, memory, 4000, digest));
        EXPECT_EQ(Hex(variant, digest), Reference(variant, std::string_view(bytes).substr(123, 4000)));
        EXPECT_EQ(memory.Cursor(), 4123u);

        // Whole source, handed out in short runs of odd lengths.
        ChoppySource choppy(bytes, bytes.size());
        ShaCompute(variant, choppy, choppy.Size(), digest);
        EXPECT_EQ(Hex(variant, digest), Reference(variant, bytes));
        EXPECT_EQ(choppy.Cursor(), bytes.size());

        // Zero bytes: the digest of the empty message.
        MemorySource empty("");
        ShaCompute(variant, empty, 0, digest);
        EXPECT_EQ(Hex(variant, digest), Reference(variant, ""));
    }
}

TEST(Sha, BytesTheSourceCannotGiveMakeNoDigestWhileBytesPastItsEndCountAsZeros) {
    const std::string bytes = RandomBytes(1000, 11);
    std::string expected = bytes.substr(0, 700) + std::string(300, '\0');
    for (ShaVariant variant : kVariants) {
        SCOPED_TRACE(Name(variant));
        // Unreadable from byte 700 on.
        ChoppySource broken(bytes, 700);
        std::uint8_t digest[64];
        EXPECT_FALSE(ShaCompute(variant, broken, 1000, digest));

        // Asked for more than the source holds.
        MemorySource shorter(bytes.substr(0, 700));
        ShaCompute(variant, shorter, 1000, digest);
        EXPECT_EQ(Hex(variant, digest), Reference(variant, expected));
    }
}

TEST(Sha, DigestLengthsAndUnknownVariants) {
    EXPECT_EQ(ShaDigestLength(ShaVariant::Sha1), 20u);
    EXPECT_EQ(ShaDigestLength(ShaVariant::Sha224), 28u);
    EXPECT_EQ(ShaDigestLength(ShaVariant::Sha256), 32u);
    EXPECT_EQ(ShaDigestLength(ShaVariant::Sha384), 48u);
    EXPECT_EQ(ShaDigestLength(ShaVariant::Sha512), 64u);
    // A value outside the list counts as SHA-1.
    const auto unknown = static_cast<ShaVariant>(-1);
    EXPECT_EQ(ShaDigestLength(unknown), 20u);
    EXPECT_EQ(ShaHasher(unknown).variant(), ShaVariant::Sha1);
    std::uint8_t digest[64];
    ShaBuffer(unknown, "abc", digest);
    EXPECT_EQ(ToHex(digest, 20), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

} // namespace
} // namespace qh
