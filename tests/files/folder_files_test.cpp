// The files of a folder tree: every depth, sorted, links to files taken, a
// link back up not followed round and round.
#include "folder_files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdlib.h>

namespace qh {
namespace {

namespace fs = std::filesystem;

TEST(FolderFiles, FindsTheFilesAtEveryDepthOnceAndInOrder) {
    std::string pattern = "/tmp/qh_folder_files_test_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    fs::create_directories(root / "b" / "deep");
    fs::create_directories(root / "empty");
    for (const char* name : {"z.txt", "b/one", "b/deep/two", "a file"})
        std::ofstream(root / name) << name;
    fs::create_directory_symlink(root, root / "b" / "loop");
    fs::create_symlink(root / "z.txt", root / "link.txt");
    fs::create_symlink(root / "nowhere", root / "dangling");

    Progress progress;
    const std::optional<std::vector<std::string>> files = FilesInFolder(root.string(), &progress);
    ASSERT_TRUE(files);
    const std::string at = root.string() + "/";
    EXPECT_EQ(*files, (std::vector<std::string>{at + "a file", at + "b/deep/two", at + "b/one", at + "link.txt",
                                                at + "z.txt"}));
    EXPECT_EQ(progress.done.load(), 5u);

    EXPECT_FALSE(FilesInFolder((root / "missing").string()));
    progress.Cancel();
    EXPECT_FALSE(FilesInFolder(root.string(), &progress));
    fs::remove_all(root);
}

} // namespace
} // namespace qh
