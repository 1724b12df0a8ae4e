#include "config_test_support.h"
#include "unprivileged.h"

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vyst::ansi {
namespace {

class ConfigSave : public ScratchFolder {
protected:
    std::string writeMessage(const std::string& name) const { return "Cannot open file " + name + " for write."; }

    // A config loaded from `name`, with one value changed so a save has work.
    ConfigFile changed(const std::string& name) {
        ConfigFile config;
        config.Load(name);
        config.SetValue("count", "changed", "");
        return config;
    }

    static mode_t modeOf(const std::string& file) {
        struct stat st {};
        EXPECT_EQ(stat(file.c_str(), &st), 0);
        return st.st_mode & 07777;
    }
    // Whether this process gets past permission bits (root does).
    static bool privileged() { return geteuid() == 0; }
};

const std::string kOriginal = "[D]\ncount=1\n";

TEST_F(ConfigSave, WithoutAFileNameOrWithAnUnreadableLineNothingIsWritten) {
    ConfigFile none;
    ExpectExcep([&] { none.Save(); }, excep::CannotWrite, writeMessage(""));

    // A line feed in a value would turn into new lines (here a new domain), a
    // line over the limit would stop the next load, "=" or "#" at the start of
    // an option name would change what it is.
    const std::string file = path("q.conf");
    for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
             {"count", "1\r\n[Other]"}, {"count", std::string(kMaxLineBytes, 'v')}, {"a=b", "1"}, {"#a", "1"}}) {
        write(file, kOriginal);
        ConfigFile config;
        config.Load(file);
        config.AddOption(option, value, "D");
        try {
            config.Save();
            ADD_FAILURE() << "saved " << option;
        } catch (const excep& e) {
            EXPECT_EQ(e.code(), excep::BadLine);
        }
        EXPECT_EQ(read(file), kOriginal);
        EXPECT_EQ(config.lines().size(), 3u);
    }
    // The longest line that loads also saves.
    ConfigFile config;
    config.Load(file);
    config.SetValue("count", std::string(kMaxLineBytes - 6, 'v'), "D");
    config.Save();
    config.Load(file);
    EXPECT_EQ(config.GetValue("count", "D").size(), kMaxLineBytes - 6);
}

TEST_F(ConfigSave, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    // A file size limit makes the write itself fail, for root too.
    const std::string file = path("q.conf");
    write(file, kOriginal + "#" + std::string(500, 'p') + "\n");
    const std::string before = read(file);
    ConfigFile config = changed(file);
    config.AddOption("big", std::string(1000, 'b'), "D");
    const std::vector<ConfigLine> lines = config.lines();

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ExpectExcep([&] { config.Save(); }, excep::CannotWrite, writeMessage(file));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(read(file), before);
    EXPECT_EQ(entries(), std::vector<std::string>{"q.conf"});
    EXPECT_EQ(config.lines(), lines);
}

TEST_F(ConfigSave, TargetsThatCannotBeReplacedFail) {
    ASSERT_EQ(mkdir(path("folder").c_str(), 0755), 0);
    write(path("plain"), "x");
    const std::string file = path("q.conf");
    write(file, kOriginal);
    for (const std::string& target : {path("folder"), path("nowhere/q.conf"), path("plain/q.conf")}) {
        ConfigFile config = changed(file);
        try {
            config.Load(target);
        } catch (const excep&) {
        }
        ExpectExcep([&] { config.Save(); }, excep::CannotWrite, writeMessage(target));
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"folder", "plain", "q.conf"}));
    EXPECT_TRUE(std::filesystem::is_empty(path("folder")));
}

TEST_F(ConfigSave, AReadOnlyFileStaysAsItIsAndAWritableOneInAReadOnlyFolderIsSavedInPlace) {
    // Permission bits stop a process without privileges: the checks run as one.
    const std::string file = path("q.conf");
    write(file, kOriginal);
    chmod(dir_.c_str(), 0755);
    chmod(file.c_str(), 0444);
    EXPECT_TRUE(qh::test::RunUnprivileged([&] {
        ConfigFile readOnlyFile = changed(file);
        ExpectExcep([&] { readOnlyFile.Save(); }, excep::CannotWrite, writeMessage(file));
    }));
    EXPECT_EQ(read(file), kOriginal);

    chmod(file.c_str(), 0666);
    chmod(dir_.c_str(), privileged() ? 0755 : 0555); // root's folder takes nothing from "nobody"
    EXPECT_TRUE(qh::test::RunUnprivileged([&] { changed(file).Save(); }));
    chmod(dir_.c_str(), 0755);
    EXPECT_EQ(read(file), "[D]\r\ncount=changed\r\n");
}

TEST_F(ConfigSave, PermissionsAndLinksAreKept) {
    const std::string file = path("q.conf");
    write(file, kOriginal);
    chmod(file.c_str(), 0640);
    changed(file).Save();
    EXPECT_EQ(read(file), "[D]\r\ncount=changed\r\n");
    EXPECT_EQ(modeOf(file), 0640u);

    // A link, even a dangling one, leads the save to its target and stays a link.
    ASSERT_EQ(symlink("q.conf", path("link").c_str()), 0);
    ASSERT_EQ(symlink("sub/new.conf", path("dangling").c_str()), 0);
    ASSERT_EQ(mkdir(path("sub").c_str(), 0755), 0);
    write(file, kOriginal);
    changed(path("link")).Save();
    EXPECT_EQ(read(file), "[D]\r\ncount=changed\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(path("link")));

    // A file that did not exist gets 0666 less the umask.
    const mode_t oldMask = umask(027);
    ConfigFile fresh;
    EXPECT_THROW(fresh.Load(path("dangling")), excep);
    fresh.Save();
    umask(oldMask);
    EXPECT_TRUE(std::filesystem::is_symlink(path("dangling")));
    EXPECT_EQ(read(path("sub/new.conf")), "");
    EXPECT_EQ(modeOf(path("sub/new.conf")), 0640u);
    EXPECT_EQ(entries(), (std::vector<std::string>{"dangling", "link", "q.conf", "sub"}));
}

} // namespace
} // namespace vyst::ansi
