#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/profile_files.h"

namespace {

namespace fs = std::filesystem;

// Each test works in a folder of its own, through a ProfileFiles of its own.
class ProfileFile : public ::testing::Test {
  protected:
    std::string folder;
    std::string path;
    ProfileFiles files;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const fs::path dir = fs::temp_directory_path() / "kv-script-tests" / info->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
        folder = dir.string() + static_cast<char>(fs::path::preferred_separator);
        path = folder + "setup.ini";
    }
    void Put(const std::string& text) const {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    std::string Contents(const std::string& file = "") const {
        std::stringstream text;
        text << std::ifstream(file.empty() ? path : file, std::ios::binary).rdbuf();
        return text.str();
    }
    void Write(std::string_view key, std::string_view value, std::string_view section = "install") {
        EXPECT_TRUE(files.Write(path, section, key, value));
    }
};

// The reading and writing rules (quotes, the cut at 511 characters, byte order marks, files
// changed by others) are compared with the system's own functions in profile_compare_test;
// WriteIni's lower case is the letter case test's, hundreds of appended keys the uninstaller's.

TEST_F(ProfileFile, WriteKeepsEveryOtherLine) {
    Put("lead=1\n[Install]\nInstallState = Fresh   ; not a "
        "comment\nFlag\n\n[Other]\nx=1\n\n[uninstall]\nfile1=a");
    Write("installstate", "  installed");
    Write("flag", "on");
    Write("productversion", "2.0");
    Write("y", "2", "other");
    Write("second", "2", "");
    Write("file2", "b", "uninstall");
    const std::string expected = "lead=1\nsecond=2\n[Install]\nInstallState = installed\nFlag=on\n"
                                 "productversion=2.0\n\n[Other]\nx=1\ny=2\n\n[uninstall]\nfile1=a\nfile2=b\n";
    EXPECT_EQ(expected, Contents());
    // Writing the same value again leaves the file alone.
    const auto before = fs::last_write_time(path);
    Write("file2", "b", "uninstall");
    EXPECT_EQ(before, fs::last_write_time(path));
    EXPECT_FALSE(files.Write(folder + "missing-folder/setup.ini", "uninstall", "destpath", "x"));
    EXPECT_FALSE(fs::exists(folder + "missing-folder"));
}

// A rewrite (here a changed value in a section before the last) writes the new contents
// beside the script and puts them in its place in one step: a second name of the old file
// (a hard link) keeps the old contents.
TEST_F(ProfileFile, ARewriteTakesTheOldFilesPlaceInOneStep) {
    const std::string old = folder + "old.ini", fresh = path + ".kvnew";
    Put("[install]\nState=fresh\n[uninstall]\nfile1=a\n");
    fs::create_hard_link(path, old);
    Write("state", "installed");
    EXPECT_EQ("[install]\nState=installed\n[uninstall]\nfile1=a\n", Contents());
    EXPECT_EQ("[install]\nState=fresh\n[uninstall]\nfile1=a\n", Contents(old));
    EXPECT_FALSE(fs::exists(fresh));
}

#ifndef _WIN32
// A full disk (here a limit on the size of the files this process writes): an append that
// does not fit leaves no part of its line, and a rewrite that does not fit leaves the
// script as it was, with nothing beside it.
TEST_F(ProfileFile, AWriteThatDoesNotFitLeavesTheFileAsItWas) {
    const std::string before = "[install]\nState=fresh\n[uninstall]\nfile1=a\n";
    Put(before);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old, small;
    getrlimit(RLIMIT_FSIZE, &old);
    small = old;
    small.rlim_cur = before.size() + 8;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    const bool written = files.Write(path, "uninstall", "file2", "c:\\a path longer than the room left") |
                         files.Write(path, "install", "state", "installed, a longer value");
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(before, Contents());
    EXPECT_FALSE(fs::exists(path + ".kvnew"));
}
#endif

// A stamp that reports every file unchanged: the remembered parse is trusted until forgotten.
TEST_F(ProfileFile, TheStampFunctionDecidesWhenToReadAgain) {
    ProfileFiles trusting([](const std::string&) { return FileStamp{true, 1, 0, true}; });
    Put("[install]\nName=AAAA\n");
    EXPECT_EQ("AAAA", trusting.Read(path, "install", "name"));
    Put("[install]\nName=BBBB\n");
    EXPECT_EQ("AAAA", trusting.Read(path, "install", "name"));
    trusting.Forget(path);
    EXPECT_EQ("BBBB", trusting.Read(path, "install", "name"));
}

} // namespace
