#include "byte_source.h"
#include "cpu_features.h"
#include "crc.h"
#include "crc_internal.h"
#include "hash_test_support.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

namespace qh {
namespace {

// The reference: one lookup per byte in most-significant-bit-first tables,
// reflecting input and output bits for the two reflected algorithms.
struct BytewiseCrc {
    std::uint32_t t8005[256], t1021[256], t04C11DB7[256];

    BytewiseCrc() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t a = i << 8, b = i << 8, c = i << 24;
            for (int k = 0; k < 8; ++k) {
                a = (a & 0x8000) ? (a << 1) ^ 0x8005 : a << 1;
                b = (b & 0x8000) ? (b << 1) ^ 0x1021 : b << 1;
                c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
            }
            t8005[i] = a & 0xFFFF;
            t1021[i] = b & 0xFFFF;
            t04C11DB7[i] = c;
        }
    }
    static std::uint32_t Reflect(std::uint32_t value, int bits) {
        std::uint32_t out = 0;
        for (int i = 0; i < bits; ++i)
            out |= ((value >> i) & 1u) << (bits - 1 - i);
        return out;
    }
    std::uint16_t Crc16(std::string_view bytes) const {
        std::uint32_t r = 0;
        for (unsigned char b : bytes)
            r = ((r << 8) & 0xFFFF) ^ t8005[(r >> 8) ^ Reflect(b, 8)];
        return static_cast<std::uint16_t>(Reflect(r, 16));
    }
    std::uint16_t CrcCcitt(std::string_view bytes) const {
        std::uint32_t r = 0xFFFF;
        for (unsigned char b : bytes)
            r = ((r << 8) & 0xFFFF) ^ t1021[b ^ (r >> 8)];
        return static_cast<std::uint16_t>(r);
    }
    std::uint32_t Crc32(std::string_view bytes) const {
        std::uint32_t r = 0xFFFFFFFF;
        for (unsigned char b : bytes)
            r = t04C11DB7[(r >> 24) ^ Reflect(b, 8)] ^ (r << 8);
        return ~Reflect(r, 32);
    }
};

std::uint32_t ZlibCrc32(std::string_view bytes) {
    uLong crc = crc32(0, Z_NULL, 0);
    // zlib takes at most 4 GiB - 1 bytes a call.
    for (std::size_t i = 0; i < bytes.size(); i += 1u << 30) {
        const std::size_t n = std::min<std::size_t>(bytes.size() - i, 1u << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + i), static_cast<uInt>(n));
    }
    return static_cast<std::uint32_t>(crc);
}

template <typename Crc> auto OneShot(std::string_view bytes) {
    return Crc::Final(Crc::Update(Crc::kInit, bytes.data(), bytes.size()));
}

// The portable run of the known answers (see tests/hash/CMakeLists.txt) is
// only worth something if the switch really turns the vector code off.
TEST(CpuFeaturesTest, ThePortableSwitchTurnsEveryExtensionOff) {
    const char* portable = std::getenv("QUILLHORN_PORTABLE");
    if (portable == nullptr || *portable == '\0')
        GTEST_SKIP() << "QUILLHORN_PORTABLE is not set";
    const CpuFeatures& f = GetCpuFeatures();
    EXPECT_FALSE(f.sse41 || f.ssse3 || f.pclmul || f.sha || f.avx2 || f.bmi2 || f.avx512 || f.avx512vbmi || f.vpclmul ||
                 f.gfni);
    EXPECT_FALSE(crc_detail::PathAvailable(crc_detail::CrcPath::Pclmul128));
}

TEST(CrcTest, GivesTheCatalogueCheckValues) {
    MemorySource digits("123456789");
    CrcCalculator crc;
    EXPECT_EQ(crc.Crc16(digits, 9), 0xBB3D);
    EXPECT_EQ(crc.CrcCcitt(digits, 9), 0x29B1);
    EXPECT_EQ(crc.Crc32(digits, 9), 0xCBF43926u);
    MemorySource abc("abc");
    EXPECT_EQ(crc.Crc16(abc, 3), 0x9738);
    EXPECT_EQ(crc.CrcCcitt(abc, 3), 0x514A);
    EXPECT_EQ(crc.Crc32(abc, 3), 0x352441C2u);
    MemorySource empty("");
    EXPECT_EQ(crc.Crc16(empty, 0), 0x0000);
    EXPECT_EQ(crc.CrcCcitt(empty, 0), 0xFFFF);
    EXPECT_EQ(crc.Crc32(empty, 0), 0x00000000u);
}

using crc_detail::CrcPath;

// A copy of some bytes in an allocation of its own that starts `offset` bytes
// past a 64-byte boundary and ends where they end.
class PlacedBytes {
public:
    PlacedBytes(std::string_view bytes, std::size_t offset)
        : base_(static_cast<char*>(::operator new(offset + bytes.size(), kAlignment))),
          view_(base_ + offset, bytes.size()) {
        std::copy(bytes.begin(), bytes.end(), base_ + offset);
    }
    ~PlacedBytes() { ::operator delete(base_, kAlignment); }
    PlacedBytes(const PlacedBytes&) = delete;
    PlacedBytes& operator=(const PlacedBytes&) = delete;
    std::string_view view() const { return view_; }

private:
    static constexpr std::align_val_t kAlignment{64};
    char* base_;
    std::string_view view_;
};

std::string PathName(const ::testing::TestParamInfo<CrcPath>& info) {
    static const char* const kNames[] = {"Tables", "Pclmul128", "Vpclmul256", "Vpclmul512"};
    return kNames[static_cast<int>(info.param)];
}

// Each test runs with the CRCs limited to one path: inputs long enough for it
// take it, shorter ones the narrower paths. Skipped where the processor lacks
// the path (everywhere but the tables under QUILLHORN_PORTABLE).
class CrcPathTest : public ::testing::TestWithParam<CrcPath> {
protected:
    void SetUp() override {
        if (!crc_detail::PathAvailable(GetParam()))
            GTEST_SKIP() << "this processor has no " << PathName({GetParam(), 0}) << " path";
        crc_detail::SetWidestPath(GetParam());
    }
    void TearDown() override { crc_detail::SetWidestPath(crc_detail::kWidestPath); }

    // The three values of `bytes` on the tables alone.
    static std::array<std::uint32_t, 3> Portable(std::string_view bytes) {
        crc_detail::SetWidestPath(CrcPath::Tables);
        const std::array<std::uint32_t, 3> values = {OneShot<Crc16Arc>(bytes), OneShot<CrcCcittFalse>(bytes),
                                                     OneShot<Crc32IsoHdlc>(bytes)};
        crc_detail::SetWidestPath(GetParam());
        return values;
    }
};

// Every length up to 4 KiB at every offset from 64-byte alignment, each input
// at the very end of its own allocation so that a read past it faults under
// AddressSanitizer; then a few mebibytes. The tables read alike at any
// address, so they take one offset per length, cycling through all 64.
TEST_P(CrcPathTest, MatchesTheReferencesAtEveryLengthAndAlignment) {
    const std::size_t offsetsPerLength = GetParam() == CrcPath::Tables ? 1 : 64;
    const BytewiseCrc reference;
    const std::string bytes = test::RandomBytes(3 * 1024 * 1024 + 5, 21);
    for (std::size_t n = 0; n <= 4096; ++n) {
        const std::string_view message(bytes.data(), n);
        const std::array<std::uint32_t, 3> expected = {reference.Crc16(message), reference.CrcCcitt(message),
                                                       ZlibCrc32(message)};
        ASSERT_EQ(Portable(message), expected) << "the tables, length " << n;
        for (std::size_t k = 0; k < offsetsPerLength; ++k) {
            const std::size_t offset = (n + k) % 64;
            const PlacedBytes placed(message, offset);
            const std::string_view part = placed.view();
            const std::array<std::uint32_t, 3> values = {OneShot<Crc16Arc>(part), OneShot<CrcCcittFalse>(part),
                                                         OneShot<Crc32IsoHdlc>(part)};
            ASSERT_EQ(values, expected) << "length " << n << " at offset " << offset;
        }
    }
    const std::string_view whole = std::string_view(bytes).substr(3);
    EXPECT_EQ(OneShot<Crc16Arc>(whole), reference.Crc16(whole));
    EXPECT_EQ(OneShot<CrcCcittFalse>(whole), reference.CrcCcitt(whole));
    EXPECT_EQ(OneShot<Crc32IsoHdlc>(whole), ZlibCrc32(whole));
}

// Every cut in two, then random cuts into many pieces of up to 700 bytes, so
// that pieces take every path and every tail length.
TEST_P(CrcPathTest, GivesTheSameValueWhateverTheSplitOfTheUpdates) {
    const std::string bytes = test::RandomBytes(3000, 22);
    const std::array<std::uint32_t, 3> whole = Portable(bytes);
    const auto updates = [&bytes](const std::vector<std::size_t>& cuts) {
        std::uint16_t arc = Crc16Arc::kInit, ccitt = CrcCcittFalse::kInit;
        std::uint32_t crc32 = Crc32IsoHdlc::kInit;
        std::size_t from = 0;
        for (std::size_t to : cuts) {
            arc = Crc16Arc::Update(arc, bytes.data() + from, to - from);
            ccitt = CrcCcittFalse::Update(ccitt, bytes.data() + from, to - from);
            crc32 = Crc32IsoHdlc::Update(crc32, bytes.data() + from, to - from);
            from = to;
        }
        return std::array<std::uint32_t, 3>{Crc16Arc::Final(arc), CrcCcittFalse::Final(ccitt),
                                            Crc32IsoHdlc::Final(crc32)};
    };
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut)
        ASSERT_EQ(updates({cut, bytes.size()}), whole) << "cut at " << cut;
    std::mt19937 generator(23);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = 0; at < bytes.size();)
            cuts.push_back(at = std::min(bytes.size(), at + generator() % 701));
        ASSERT_EQ(updates(cuts), whole) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Crc, CrcPathTest,
                         ::testing::Values(CrcPath::Tables, CrcPath::Pclmul128, CrcPath::Vpclmul256,
                                           CrcPath::Vpclmul512),
                         PathName);

TEST(CrcTest, CalculatorReadsFromTheCursorAndLeavesItThere) {
    const std::string bytes = "xx123456789yy";
    MemorySource source(bytes);
    source.Advance(2);
    CrcCalculator crc;
    EXPECT_EQ(crc.Crc16(source, 9), 0xBB3D);
    EXPECT_EQ(crc.CrcCcitt(source, 9), 0x29B1);
    EXPECT_EQ(crc.Crc32(source, 9), 0xCBF43926u);
    EXPECT_EQ(source.Cursor(), 2u);
    // Bytes beyond the end read as 0, as At gives them.
    MemorySource shortSource("abc");
    EXPECT_EQ(crc.Crc32(shortSource, 5), ZlibCrc32(std::string("abc\0\0", 5)));
    EXPECT_EQ(shortSource.Cursor(), 0u);
}

TEST(CrcTest, FileThroughManyWindowsGivesTheValuesOfTheSameBytesInMemory) {
    FileSource::SetBufferLengthForTesting(64 * 1024);
    const std::string bytes = test::RandomBytes(4 * 64 * 1024 + 77, 23);
    test::TempFile file(bytes);
    FileSource source(file.path());
    FileSource::SetBufferLengthForTesting(0);
    MemorySource memory(bytes);
    CrcCalculator crc;
    EXPECT_EQ(crc.Crc16(source, source.Size()), crc.Crc16(memory, memory.Size()));
    EXPECT_EQ(crc.CrcCcitt(source, source.Size()), crc.CrcCcitt(memory, memory.Size()));
    EXPECT_EQ(crc.Crc32(source, source.Size()), ZlibCrc32(bytes));
    EXPECT_EQ(source.Cursor(), 0u);
}

TEST(CrcTest, FormatsBitStringsInGroupsOfFourFromTheRight) {
    EXPECT_EQ(FormatBitString(0xBB3D, 16, true), "1011 1011 0011 1101");
    EXPECT_EQ(FormatBitString(0x000A, 16, true), "0000 0000 0000 1010");
    EXPECT_EQ(FormatBitString(0xCBF43926u, 32, true), "1100 1011 1111 0100 0011 1001 0010 0110");
    EXPECT_EQ(FormatBitString(0x0000ABCDu, 32, false), "00000000000000001010101111001101");
    EXPECT_EQ(FormatBitString(0x2D, 6, true), "10 1101");
    EXPECT_EQ(FormatBitString(0xFF, 4, true), "1111");
    EXPECT_EQ(FormatBitString(1, 1, true), "1");
    EXPECT_EQ(FormatBitString(1, 0, true), "");
}

} // namespace
} // namespace qh
