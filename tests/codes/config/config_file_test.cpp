#include "config_test_support.h"

namespace vyst::ansi {
namespace {

using Lines = std::vector<ConfigLine>;

class ConfigLoad : public ScratchFolder {
protected:
    ConfigFile load(const std::string& bytes) {
        write(path("q.conf"), bytes);
        ConfigFile config;
        config.Load(path("q.conf"));
        return config;
    }
};

TEST_F(ConfigLoad, SaveWritesTheFileBackLineForLine) {
    // Options above the first domain, repeated domains and options, "=" in
    // values, blanks on both sides, GBK bytes, mixed line ends, no final line end.
    const std::string original = "#top comment\r\n"
                                 "loose=1\n"
                                 "[ASCII]\r\n"
                                 " a = b \r\n"
                                 "count=3=4\n"
                                 "#\n"
                                 "=\n"
                                 "[\xD6\xD0\xCE\xC4] trailing text\n"
                                 "\xC3\xFB=\xD6\xB5\r\n"
                                 "[ASCII]\n"
                                 "count=9\n"
                                 "tail=x\r";
    ConfigFile config = load(original);
    EXPECT_EQ(config.fileName(), path("q.conf"));
    const Lines expected = {
        {'n', "", "top comment"},      {'o', "loose", "1"}, {'d', "ASCII", ""},  {'o', " a ", " b "},
        {'o', "count", "3=4"},         {'n', "", ""},       {'o', "", ""},       {'d', "\xD6\xD0\xCE\xC4", ""},
        {'o', "\xC3\xFB", "\xD6\xB5"}, {'d', "ASCII", ""},  {'o', "count", "9"}, {'o', "tail", "x\r"}};
    EXPECT_EQ(config.lines(), expected);

    config.Save();
    // Every line end becomes CR LF, the text after "]" is gone, and the lone CR
    // at the very end stays part of its line.
    EXPECT_EQ(read(path("q.conf")), "#top comment\r\nloose=1\r\n[ASCII]\r\n a = b \r\ncount=3=4\r\n#\r\n=\r\n"
                                    "[\xD6\xD0\xCE\xC4]\r\n\xC3\xFB=\xD6\xB5\r\n[ASCII]\r\ncount=9\r\ntail=x\r\r\n");
    ConfigFile again;
    again.Load(path("q.conf"));
    EXPECT_EQ(again.lines(), expected);
}

TEST_F(ConfigLoad, ParseErrorsKeepTheLinesBefore) {
    const std::string name = path("q.conf");
    ConfigFile config;
    ExpectExcep([&] { config.Load(path("missing.conf")); }, excep::CannotRead,
                "Cannot open file " + path("missing.conf") + " for read.");
    EXPECT_EQ(config.fileName(), path("missing.conf"));
    ExpectExcep([&] { config.Load(dir_); }, excep::CannotRead, "Cannot open file " + dir_ + " for read.");

    write(name, "[A]\n[ASCII\nx=1\n");
    ExpectExcep([&] { config.Load(name); }, excep::BadDomain,
                "Bad config file format: domain not end with ] or option start with [");
    EXPECT_EQ(config.lines(), (Lines{{'d', "A", ""}}));
    EXPECT_EQ(config.fileName(), name);

    const std::string noEquals = "Bad config file format: no = find in option.";
    write(name, "a=1\nplain\n");
    ExpectExcep([&] { config.Load(name); }, excep::NoEquals, noEquals);
    EXPECT_EQ(config.lines(), (Lines{{'o', "a", "1"}}));
    for (const char* blank : {"a=1\n\nb=2\n", "a=1\r\n\r\n", "\n"}) {
        write(name, blank);
        ExpectExcep([&] { config.Load(name); }, excep::NoEquals, noEquals);
    }
    write(name, "");
    config.Load(name);
    EXPECT_TRUE(config.lines().empty());
}

TEST_F(ConfigLoad, LinesOverTheLimitAreRejectedNotCut) {
    const std::string fits = "v=" + std::string(kMaxLineBytes - 2, 'x');
    const std::string tooLong = fits + "y";
    EXPECT_EQ(load("a=1\n" + fits + "\nb=2\n").lines().size(), 3u);
    EXPECT_EQ(load("a=1\r\n" + fits + "\r\nb=2").lines().at(1).value.size(), kMaxLineBytes - 2);
    EXPECT_EQ(load(fits).lines().size(), 1u);

    const std::string message = "Bad config file format: line longer than 1023 bytes.";
    // A CR not followed by LF belongs to the line and makes it too long.
    for (const std::string& bytes : {"a=1\n" + tooLong + "\nb=2\n", "a=1\n" + tooLong, "a=1\n" + fits + "\r",
                                     "a=1\n" + fits + "\rb=2\n", "a=1\n" + std::string(100000, 'z')}) {
        ConfigFile config;
        write(path("q.conf"), bytes);
        ExpectExcep([&] { config.Load(path("q.conf")); }, excep::LineTooLong, message);
        EXPECT_EQ(config.lines(), (Lines{{'o', "a", "1"}}));
    }
}

TEST_F(ConfigLoad, LookupsFollowDomainsAndTakeTheFirstMatch) {
    ConfigFile config = load("top=0\n#count=c\n[ascii]\ncount=1\n[ASCII]\ncount=2\nname=n\ncount=3\n");
    EXPECT_EQ(config.GetValue("count", "ASCII"), "2");
    EXPECT_EQ(config.GetValue("count", "ascii"), "1");
    EXPECT_EQ(config.GetValue("count", ""), "1");
    EXPECT_EQ(config.GetValue("top", ""), "0");
    const std::string missing = "No Such Option Find.";
    ExpectExcep([&] { config.GetValue("top", "ASCII"); }, excep::NoOption, missing);
    ExpectExcep([&] { config.GetValue("name", "ascii"); }, excep::NoOption, missing);
    ExpectExcep([&] { config.GetValue("Count", ""); }, excep::NoOption, missing);
    ExpectExcep([&] { config.GetBool("none", ""); }, excep::NoOption, missing);
    ExpectExcep([&] { config.GetInt("none", ""); }, excep::NoOption, missing);
    ExpectExcep([&] { config.SetValue("none", "v", ""); }, excep::NoOption, missing);
    ExpectExcep([&] { config.SetInt("top", 1, "ASCII"); }, excep::NoOption, missing);

    config.SetValue("count", "two", "ASCII");
    config.SetInt("name", -15, "ASCII");
    EXPECT_EQ(config.lines().at(5), (ConfigLine{'o', "count", "two"}));
    EXPECT_EQ(config.lines().at(7), (ConfigLine{'o', "count", "3"}));
    EXPECT_EQ(config.GetValue("name", "ASCII"), "-15");
}

TEST_F(ConfigLoad, NumbersAndBooleansReadLikeAStreamExtraction) {
    ConfigFile config = load("[D]\na=42\nb= 42\nc=-7\nd=12ab\ne=+5\nf=-2147483648\ng=2147483647\n"
                             "h=\ni=abc\nj=99999999999\nk=2147483648\nl=- 1\nm=  \n"
                             "t=true\nu=TRUE\nv=1\nw=\nx=true \n");
    const std::pair<const char*, int> numbers[] = {
        {"a", 42}, {"b", 42}, {"c", -7}, {"d", 12}, {"e", 5}, {"f", -2147483647 - 1}, {"g", 2147483647}};
    for (const auto& [option, value] : numbers) {
        EXPECT_EQ(config.GetInt(option, "D"), value) << option;
    }
    for (const char* option : {"h", "i", "j", "k", "l", "m"}) {
        SCOPED_TRACE(option);
        ExpectExcep([&] { config.GetInt(option, "D"); }, excep::NotInteger, "The value is not integer number.");
    }
    EXPECT_TRUE(config.GetBool("t", "D"));
    for (const char* option : {"u", "v", "w", "x", "a"}) {
        EXPECT_FALSE(config.GetBool(option, "D")) << option;
    }
}

TEST_F(ConfigLoad, AddedOptionsGoDirectlyBelowTheDomainLine) {
    ConfigFile config = load("#c\n[ASCII]\ncount=0\n[ASCII]\n");
    config.AddOption("name0", "v0", "ASCII");
    config.AddOption("head0", "v1", "ASCII");
    config.AddBool("flag", false, "ASCII");
    config.AddInt("count", -3, "ASCII");
    config.AddOption("first", "f", ""); // below the first line, whatever it is
    EXPECT_EQ(config.lines(), (Lines{{'n', "", "c"},
                                     {'o', "first", "f"},
                                     {'d', "ASCII", ""},
                                     {'o', "count", "-3"},
                                     {'o', "flag", "false"},
                                     {'o', "head0", "v1"},
                                     {'o', "name0", "v0"},
                                     {'o', "count", "0"},
                                     {'d', "ASCII", ""}}));
    EXPECT_EQ(config.GetInt("count", "ASCII"), -3); // the newer option hides the older

    const Lines before = config.lines();
    const std::string message = "No such domain find.";
    ExpectExcep([&] { config.AddOption("x", "1", "ascii"); }, excep::NoDomain, message);
    ExpectExcep([&] { config.AddBool("x", true, "c"); }, excep::NoDomain, message);
    EXPECT_EQ(config.lines(), before);
    ConfigFile empty = load("");
    ExpectExcep([&] { empty.AddInt("x", 1, ""); }, excep::NoDomain, message);
}

} // namespace
} // namespace vyst::ansi
