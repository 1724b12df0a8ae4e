#include "output_file.h"
#include "same_file.h"
#include "unprivileged.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qh {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = "/tmp/qh_output_file_test_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream file(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    long Entries() const { return std::distance(fs::directory_iterator(dir_), fs::directory_iterator()); }
    mode_t Mode(const std::string& name) const {
        struct stat info {};
        ::stat(Path(name).c_str(), &info);
        return info.st_mode & 07777;
    }

    fs::path dir_;
};

TEST_F(OutputFileTest, CommitReplacesTheTargetAtOnceAndKeepsItsPermissionsAndOwner) {
    Write("target", "old contents");
    ASSERT_EQ(::chmod(Path("target").c_str(), 0640), 0);
    // Only a privileged process can give a file away, and keep another's file his.
    const bool privileged = ::geteuid() == 0;
    if (privileged) {
        ASSERT_EQ(::chown(Path("target").c_str(), 4321, 4322), 0);
    }
    std::ifstream reader(Path("target"), std::ios::binary); // holds the old file open

    OutputFile output;
    ASSERT_TRUE(output.Open(Path("target")));
    ASSERT_TRUE(output.Write("new", 3));
    ASSERT_TRUE(output.Write("\0!", 2));
    EXPECT_EQ(Read("target"), "old contents") << "untouched until the commit";
    EXPECT_EQ(Entries(), 2) << "the temporary file lies beside the target";
    ASSERT_TRUE(output.Commit());

    EXPECT_EQ(Read("target"), std::string("new\0!", 5));
    EXPECT_EQ(Mode("target"), 0640u);
    if (privileged) {
        struct stat info {};
        ASSERT_EQ(::stat(Path("target").c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4322u);
    }
    EXPECT_EQ(Entries(), 1);
    // Renamed over, not rewritten: a reader of the old file still sees it whole.
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()), "old contents");
}

TEST_F(OutputFileTest, NewFileGetsTheUsualPermissions) {
    const mode_t previous = ::umask(022);
    {
        OutputFile output;
        ASSERT_TRUE(output.Open(Path("new")));
        ASSERT_TRUE(output.Commit());
    }
    ::umask(previous);
    EXPECT_EQ(Read("new"), "");
    EXPECT_EQ(Mode("new"), 0644u);
}

TEST_F(OutputFileTest, WithoutCommitNothingChangesAndNoTemporaryStays) {
    Write("target", "kept");
    {
        OutputFile output;
        ASSERT_TRUE(output.Open(Path("target")));
        ASSERT_TRUE(output.Write("lost", 4));
    }
    {
        OutputFile output;
        ASSERT_TRUE(output.Open(Path("fresh")));
        ASSERT_TRUE(output.Write("lost", 4));
    }
    EXPECT_EQ(Read("target"), "kept");
    EXPECT_FALSE(fs::exists(Path("fresh")));
    EXPECT_EQ(Entries(), 1);
}

TEST_F(OutputFileTest, ALinkIsFollowedToItsTargetEvenWhenDangling) {
    Write("target", "old");
    fs::create_symlink(Path("target"), Path("link"));
    fs::create_directory(Path("sub"));
    fs::create_symlink("sub/created", Path("dangling")); // relative to the link's folder
    for (const char* link : {"link", "dangling"}) {
        OutputFile output;
        ASSERT_TRUE(output.Open(Path(link))) << link;
        ASSERT_TRUE(output.Write("new", 3));
        ASSERT_TRUE(output.Commit());
        EXPECT_TRUE(fs::is_symlink(Path(link))) << link;
    }
    EXPECT_EQ(Read("target"), "new");
    EXPECT_EQ(Read("sub/created"), "new");
    EXPECT_EQ(Entries(), 4);

    fs::create_symlink("loop", Path("loop"));
    OutputFile output;
    EXPECT_FALSE(output.Open(Path("loop")));
}

TEST_F(OutputFileTest, OpenRefusesAMissingFolderAndTargetsThatAreNotRegularFiles) {
    fs::create_directory(Path("folder"));
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_symlink(Path("fifo"), Path("to-fifo"));
    fs::create_symlink("/dev/null", Path("to-null"));
    // Nothing is ever written to /dev/null here, and it must stay a device.
    for (const std::string& path : {Path("missing/out"), Path("folder"), Path("fifo"), Path("to-fifo"), Path("to-null"),
                                    std::string("/dev/null"), std::string()}) {
        OutputFile output;
        EXPECT_FALSE(output.Open(path)) << path;
        EXPECT_FALSE(output.Write("x", 1));
        EXPECT_FALSE(output.Commit());
    }
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    ASSERT_EQ(::lstat(Path("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(fs::is_directory(Path("folder")));
    EXPECT_TRUE(fs::is_empty(Path("folder")));
    EXPECT_EQ(Entries(), 4);
}

TEST_F(OutputFileTest, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    Write("a", "old");
    ASSERT_EQ(::link(Path("a").c_str(), Path("hard").c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(Path("a").c_str(), &before), 0);
    ASSERT_EQ(::chmod(Path("a").c_str(), 0666), 0);
    // Root owns the folder: for "nobody" it takes no new file, yet "a" is writable.
    ASSERT_EQ(::chmod(dir_.c_str(), ::geteuid() == 0 ? 0755 : 0555), 0);
    EXPECT_TRUE(test::RunUnprivileged([&] {
        {
            OutputFile abandoned;
            ASSERT_TRUE(abandoned.Open(Path("a")));
            EXPECT_TRUE(abandoned.InPlace());
            EXPECT_TRUE(abandoned.Write("lost", 4));
        }
        EXPECT_EQ(Read("a"), "old") << "nothing reaches the file before the commit";
        OutputFile output;
        ASSERT_TRUE(output.Open(Path("a")));
        EXPECT_TRUE(output.Write("new content", 11));
        EXPECT_TRUE(output.Commit());
        OutputFile fresh;
        EXPECT_FALSE(fresh.Open(Path("b"))) << "a new file cannot be made there";
    }));
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    EXPECT_EQ(Read("a"), "new content");
    EXPECT_EQ(Read("hard"), "new content") << "the file itself was written";
    struct stat after {};
    ASSERT_EQ(::stat(Path("a").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(Mode("a"), 0666u);
    EXPECT_EQ(Entries(), 2);
}

TEST_F(OutputFileTest, SameFileSeesThroughLinksAndSpellings) {
    Write("a", "x");
    Write("b", "x");
    fs::create_symlink(Path("a"), Path("link"));
    fs::create_hard_link(Path("a"), Path("hard"));
    fs::create_directory(Path("sub"));

    EXPECT_TRUE(SameFile(Path("a"), Path("a")));
    EXPECT_TRUE(SameFile(Path("a"), Path("link")));
    EXPECT_TRUE(SameFile(Path("link"), Path("a")));
    EXPECT_TRUE(SameFile(Path("a"), Path("hard")));
    EXPECT_TRUE(SameFile(Path("a"), Path("sub/../a")));
    EXPECT_TRUE(SameFile(Path("a"), Path("./a")));
    EXPECT_FALSE(SameFile(Path("a"), Path("b")));
    EXPECT_FALSE(SameFile(Path("missing"), Path("missing")));
    EXPECT_FALSE(SameFile(Path("a"), Path("missing")));
    EXPECT_FALSE(SameFile("", ""));
}

} // namespace
} // namespace qh
