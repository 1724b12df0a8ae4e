#include "byte_source.h"
#include "crc.h"
#include "hash_test_support.h"
#include "sha.h"

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qh {
namespace {

std::string Bytes(std::span<const std::uint8_t> view) {
    return {reinterpret_cast<const char*>(view.data()), view.size()};
}

// The cursor operations and the bulk view behave alike on every kind of source.
void CheckCursorOperations(ByteSource& source, const std::string& bytes) {
    ASSERT_GE(bytes.size(), 10u);
    ASSERT_EQ(source.Size(), bytes.size());
    EXPECT_EQ(source.Current(), static_cast<std::uint8_t>(bytes[0]));
    EXPECT_EQ(source.At(9), static_cast<std::uint8_t>(bytes[9]));
    source.Next();
    source.Advance(3);
    EXPECT_EQ(source.Cursor(), 4u);
    EXPECT_EQ(source.Current(), static_cast<std::uint8_t>(bytes[4]));
    EXPECT_EQ(source.At(2), static_cast<std::uint8_t>(bytes[6]));
    source.Prev();
    source.Back(2);
    EXPECT_EQ(source.Current(), static_cast<std::uint8_t>(bytes[1]));
    EXPECT_EQ(Bytes(source.View(5)), bytes.substr(1, 5));
    EXPECT_EQ(source.Cursor(), 1u) << "View leaves the cursor alone";
    EXPECT_EQ(source.Size(), bytes.size()) << "Size does not depend on the cursor";

    // At and past the end: zeros and an empty view.
    EXPECT_EQ(source.At(bytes.size() - 1), 0);
    EXPECT_EQ(source.At(1000000), 0);
    source.Advance(bytes.size() - 1);
    EXPECT_EQ(source.Current(), 0);
    EXPECT_TRUE(source.View(100).empty());
    source.Back(bytes.size() - 1);

    // Reading the whole source through views gives its bytes.
    std::string read;
    for (auto view = source.View(7); !view.empty(); view = source.View(7)) {
        EXPECT_LE(view.size(), 7u);
        read += Bytes(view);
        source.Advance(view.size());
    }
    EXPECT_EQ(read, bytes.substr(1));
    EXPECT_TRUE(source.View(0).empty());
    source.Back(read.size() + 1);
    EXPECT_EQ(source.Cursor(), 0u);
}

TEST(MemorySourceTest, CopiesItsBytesAndReadsThemThroughTheCursor) {
    std::string bytes = test::RandomBytes(40, 1);
    bytes[5] = '\0'; // a zero byte is a byte like any other
    std::string original = bytes;
    MemorySource source(bytes.data(), bytes.size());
    bytes.assign(bytes.size(), 'x'); // the copy is unaffected
    CheckCursorOperations(source, original);

    MemorySource fromView(std::string_view("abc"));
    EXPECT_EQ(fromView.Size(), 3u);
    MemorySource empty(nullptr, 0);
    EXPECT_EQ(empty.Size(), 0u);
    EXPECT_EQ(empty.Current(), 0);
    EXPECT_TRUE(empty.View(10).empty());
}

TEST(BorrowedTextSourceTest, ReadsTheBufferInPlace) {
    std::string bytes = test::RandomBytes(30, 2);
    BorrowedTextSource source(bytes.data(), bytes.size());
    CheckCursorOperations(source, bytes);
    bytes[3] = 'Q';
    EXPECT_EQ(source.At(3), 'Q');
}

TEST(FileSourceTest, ReadsAFileAcrossManyWindows) {
    FileSource::SetBufferLengthForTesting(64 * 1024);
    // Three windows and a part of a fourth.
    const std::string bytes = test::RandomBytes(3 * 64 * 1024 + 1234, 3);
    test::TempFile file(bytes);
    FileSource source(file.path());
    ASSERT_TRUE(source.IsOpen());
    CheckCursorOperations(source, bytes);

    // A view never runs past its window; jumping back and forth remaps.
    source.Advance(64 * 1024 - 10);
    EXPECT_EQ(source.View(100).size(), 10u);
    EXPECT_EQ(source.At(10), static_cast<std::uint8_t>(bytes[64 * 1024]));
    source.Advance(2 * 64 * 1024 + 10);
    EXPECT_EQ(Bytes(source.View(100000)), bytes.substr(3 * 64 * 1024)) << "the last, shorter window";
    source.Back(3 * 64 * 1024 - 1);
    EXPECT_EQ(source.Current(), static_cast<std::uint8_t>(bytes[1]));
    EXPECT_EQ(source.At(2 * 64 * 1024), static_cast<std::uint8_t>(bytes[2 * 64 * 1024 + 1]));
    FileSource::SetBufferLengthForTesting(0);
    EXPECT_GE(FileSource::BufferLength(), 64u * 1024u);
}

TEST(FileSourceTest, MissingFilesAndFoldersDoNotOpenButEmptyFilesDo) {
    FileSource missing("/nonexistent/quillhorn/file");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Size(), 0u);
    EXPECT_EQ(missing.Current(), 0);
    EXPECT_TRUE(missing.View(10).empty());

    FileSource folder("/tmp");
    EXPECT_FALSE(folder.IsOpen());
    EXPECT_EQ(folder.Size(), 0u);

    // A named pipe is refused at once rather than waiting for a writer.
    const std::string pipe = "/tmp/qh_hash_test_pipe_" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    FileSource fifo(pipe);
    ::unlink(pipe.c_str());
    EXPECT_FALSE(fifo.IsOpen());

    test::TempFile emptyFile;
    FileSource emptySource(emptyFile.path());
    EXPECT_TRUE(emptySource.IsOpen());
    EXPECT_EQ(emptySource.Size(), 0u);
    EXPECT_EQ(emptySource.Current(), 0);
    EXPECT_TRUE(emptySource.View(1).empty());
}

TEST(FileSourceTest, ReadsFilesWhoseReportedLengthIsNotTheirContent) {
    // /proc files report 0 bytes, /sys files a whole page.
    for (const char* path : {"/proc/version", "/proc/self/status", "/sys/kernel/mm/transparent_hugepage/enabled"}) {
        SCOPED_TRACE(path);
        std::ifstream in(path, std::ios::binary);
        if (!in)
            continue;
        const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        FileSource source(path);
        ASSERT_TRUE(source.IsOpen());
        EXPECT_FALSE(source.Failed());
        if (std::string(path) != "/proc/self/status") { // changes between two reads
            EXPECT_EQ(Bytes(source.View(1 << 20)), expected);
        }
        EXPECT_EQ(source.Size() == 0, expected.empty());
    }
    // Opening works, reading does not: no bytes, and the source says so.
    FileSource mem("/proc/self/mem");
    ASSERT_TRUE(mem.IsOpen());
    EXPECT_TRUE(mem.Failed());
    EXPECT_TRUE(mem.View(10).empty());
}

TEST(FileSourceTest, AFileThatShrinksWhileReadFailsAndGivesNoDigest) {
    FileSource::SetBufferLengthForTesting(64 * 1024);
    const std::string bytes = test::RandomBytes(256 * 1024, 5);
    test::TempFile file(bytes);
    FileSource sha(file.path());
    FileSource crc(file.path());
    FileSource::SetBufferLengthForTesting(0);
    ASSERT_EQ(sha.Size(), bytes.size());
    EXPECT_EQ(Bytes(crc.View(10)), bytes.substr(0, 10));
    ASSERT_EQ(::truncate(file.path().c_str(), 100 * 1024), 0);

    std::uint8_t digest[64];
    EXPECT_FALSE(ShaCompute(ShaVariant::Sha256, sha, sha.Size(), digest));
    EXPECT_TRUE(sha.Failed());
    CrcCalculator calculator;
    calculator.Crc32(crc, crc.Size());
    EXPECT_TRUE(crc.Failed());
    EXPECT_TRUE(crc.View(10).empty());
    EXPECT_EQ(crc.At(1), 0);
}

TEST(FileSourceTest, KeepsReadingAFileThatWasRemovedWhileOpen) {
    const std::string bytes = test::RandomBytes(5000, 4);
    std::unique_ptr<FileSource> source;
    {
        test::TempFile file(bytes);
        source = std::make_unique<FileSource>(file.path());
    }
    ASSERT_EQ(source->Size(), bytes.size());
    EXPECT_EQ(Bytes(source->View(bytes.size())), bytes);
}

} // namespace
} // namespace qh
