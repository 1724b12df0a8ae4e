// Several digests in one pass against each engine run alone over the whole
// input, for lengths around the buffer boundaries and reads of every size;
// read errors and cancelling; how the engines are split between two threads.
#include "hash_test_support.h"
#include "multi_digest.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace qh {
namespace {

using test::RandomBytes;

std::string aloneDigest(DigestAlgorithm algorithm, std::string_view bytes) {
    AnyDigest digest(algorithm);
    digest.Update(bytes.data(), bytes.size());
    return digest.Finish();
}

// Hands out `bytes` in reads of varying length, never more than asked for.
ReadSome reader(const std::string& bytes, std::size_t& at, std::uint32_t seed) {
    return [&bytes, &at, seed](std::uint8_t* to, std::size_t length) mutable -> long long {
        seed = seed * 1103515245 + 12345;
        const std::size_t want = std::min<std::size_t>(length, 1 + (seed >> 8) % (length + length / 2));
        const std::size_t n = std::min(want, bytes.size() - at);
        std::copy_n(bytes.data() + at, n, to);
        at += n;
        return static_cast<long long>(n);
    };
}

TEST(MultiDigest, EachDigestEqualsItsEngineAloneAroundBufferBoundaries) {
    constexpr std::size_t kChunk = 4096;
    const std::vector<std::vector<DigestAlgorithm>> sets = {
        {kDigestAlgorithms.begin(), kDigestAlgorithms.end()},
        {DigestAlgorithm::Md5, DigestAlgorithm::Sha1, DigestAlgorithm::Sha256},
        {DigestAlgorithm::Sha512, DigestAlgorithm::Crc32, DigestAlgorithm::Md5, DigestAlgorithm::Sha512},
        {DigestAlgorithm::CrcCcitt},
    };
    for (std::size_t length : {std::size_t{0}, std::size_t{1}, kChunk - 1, kChunk, kChunk + 1, 2 * kChunk - 1,
                               2 * kChunk, 2 * kChunk + 1, 9 * kChunk + 17, 40 * kChunk + 3}) {
        const std::string bytes = RandomBytes(length, static_cast<std::uint32_t>(length));
        for (const auto& algorithms : sets) {
            SCOPED_TRACE(testing::Message() << "length " << length << ", " << algorithms.size() << " algorithms");
            std::size_t at = 0;
            Progress progress;
            const PassResult pass =
                DigestStream(algorithms, reader(bytes, at, static_cast<std::uint32_t>(length)), &progress, kChunk);
            ASSERT_EQ(pass.status, PassStatus::Ok);
            EXPECT_EQ(pass.bytes, length);
            EXPECT_EQ(progress.done.load(), length);
            ASSERT_EQ(pass.digests.size(), algorithms.size());
            for (std::size_t i = 0; i < algorithms.size(); ++i)
                EXPECT_EQ(pass.digests[i], aloneDigest(algorithms[i], bytes)) << InfoOf(algorithms[i]).title;
        }
    }
    // The check values come as their big-endian bytes (the CRC catalogue's check values).
    const std::string check = "123456789";
    EXPECT_EQ(ToHex(aloneDigest(DigestAlgorithm::Crc16, check)), "bb3d");
    EXPECT_EQ(ToHex(aloneDigest(DigestAlgorithm::CrcCcitt, check)), "29b1");
    EXPECT_EQ(ToHex(aloneDigest(DigestAlgorithm::Crc32, check)), "cbf43926");
}

TEST(MultiDigest, AReadErrorOrACancelGivesNoDigest) {
    const std::vector<DigestAlgorithm> algorithms = {DigestAlgorithm::Md5, DigestAlgorithm::Sha512};
    for (int failingRead : {0, 1, 7}) {
        SCOPED_TRACE(failingRead);
        int reads = 0;
        const PassResult pass = DigestStream(
            algorithms,
            [&](std::uint8_t* to, std::size_t length) -> long long {
                if (reads++ == failingRead)
                    return -1;
                std::fill_n(to, length, 'a');
                return static_cast<long long>(length);
            },
            nullptr, 1024);
        EXPECT_EQ(pass.status, PassStatus::ReadError);
        EXPECT_TRUE(pass.digests.empty());
    }

    // Cancelled after some buffers, with the helper thread running.
    Progress progress;
    const PassResult cancelled = DigestStream(
        algorithms,
        [&](std::uint8_t* to, std::size_t length) -> long long {
            std::fill_n(to, length, 'b');
            if (progress.done.load() >= 10 * length)
                progress.Cancel();
            return static_cast<long long>(length);
        },
        &progress, 1024);
    EXPECT_EQ(cancelled.status, PassStatus::Cancelled);
    EXPECT_TRUE(cancelled.digests.empty());

    EXPECT_EQ(DigestFile("/nonexistent/file", algorithms).status, PassStatus::CannotOpen);
    EXPECT_EQ(DigestFile("/tmp", algorithms).status, PassStatus::CannotOpen);
}

TEST(MultiDigest, EnginesAreSplitOnlyWhereASecondCorePays) {
    const std::vector<DigestAlgorithm> two = {DigestAlgorithm::Md5, DigestAlgorithm::Sha512};
    // The two dearest engines go one to each thread.
    EXPECT_EQ(HelperEngines(two, 2).size(), 1u);
    // One core, or one engine: no helper.
    EXPECT_TRUE(HelperEngines(two, 1).empty());
    EXPECT_TRUE(HelperEngines(std::vector{DigestAlgorithm::Md5}, 2).empty());
    // Every engine lands on one side or the other, none twice.
    const std::vector<std::size_t> helper = HelperEngines(kDigestAlgorithms, 2);
    EXPECT_FALSE(helper.empty());
    EXPECT_LT(helper.size(), kDigestAlgorithms.size());
    EXPECT_TRUE(std::is_sorted(helper.begin(), helper.end()));
    EXPECT_EQ(std::adjacent_find(helper.begin(), helper.end()), helper.end());
}

} // namespace
} // namespace qh
