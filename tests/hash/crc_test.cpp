#include "byte_source.h"
#include "crc.h"
#include "crc_internal.h"
#include "hash_test_support.h"

#include <gtest/gtest.h>
#include <string>
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

class PortableOnly {
public:
    explicit PortableOnly(bool portable) { crc_detail::SetPortableOnly(portable); }
    ~PortableOnly() { crc_detail::SetPortableOnly(false); }
};

class CrcPathTest : public ::testing::TestWithParam<bool> {};

// With and without carry-less multiplication for CRC-32.
TEST_P(CrcPathTest, MatchesTheReferencesOverEveryShortLengthAndAFewMebibytes) {
    PortableOnly path(GetParam());
    const BytewiseCrc reference;
    const std::string bytes = test::RandomBytes(3 * 1024 * 1024 + 5, 21);
    const std::string_view view(bytes);
    for (std::size_t n = 0; n <= 300; ++n) {
        const std::string_view part = view.substr(n, n); // odd starting addresses too
        ASSERT_EQ(OneShot<Crc16Arc>(part), reference.Crc16(part)) << n;
        ASSERT_EQ(OneShot<CrcCcittFalse>(part), reference.CrcCcitt(part)) << n;
        ASSERT_EQ(OneShot<Crc32IsoHdlc>(part), ZlibCrc32(part)) << n;
    }
    for (std::size_t n : {4095u, 4096u, 65537u}) {
        ASSERT_EQ(OneShot<Crc32IsoHdlc>(view.substr(3, n)), ZlibCrc32(view.substr(3, n))) << n;
        ASSERT_EQ(OneShot<Crc32IsoHdlc>(view.substr(3, n)), reference.Crc32(view.substr(3, n))) << n;
    }
    EXPECT_EQ(OneShot<Crc16Arc>(bytes), reference.Crc16(bytes));
    EXPECT_EQ(OneShot<CrcCcittFalse>(bytes), reference.CrcCcitt(bytes));
    EXPECT_EQ(OneShot<Crc32IsoHdlc>(bytes), ZlibCrc32(bytes));
}

INSTANTIATE_TEST_SUITE_P(Crc, CrcPathTest, ::testing::Values(false, true));

TEST(CrcTest, GivesTheSameValueWhateverTheSplitOfTheUpdates) {
    const std::string bytes = test::RandomBytes(700, 22);
    const auto whole16 = OneShot<Crc16Arc>(bytes);
    const auto wholeCcitt = OneShot<CrcCcittFalse>(bytes);
    const auto whole32 = OneShot<Crc32IsoHdlc>(bytes);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        const char* p = bytes.data();
        const std::size_t rest = bytes.size() - cut;
        ASSERT_EQ(Crc16Arc::Update(Crc16Arc::Update(Crc16Arc::kInit, p, cut), p + cut, rest), whole16) << cut;
        ASSERT_EQ(CrcCcittFalse::Update(CrcCcittFalse::Update(CrcCcittFalse::kInit, p, cut), p + cut, rest), wholeCcitt)
            << cut;
        ASSERT_EQ(Crc32IsoHdlc::Update(Crc32IsoHdlc::Update(Crc32IsoHdlc::kInit, p, cut), p + cut, rest), whole32)
            << cut;
    }
}

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
