#include <gtest/gtest.h>

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
// (a hard link) keeps the old contents. Where no file can be made beside the script, it is
// rewritten in place, and the second name shows the new contents too.
TEST_F(ProfileFile, ARewriteTakesTheOldFilesPlaceInOneStep) {
    const std::string old = folder + "old.ini", fresh = path + ".kvnew";
    Put("[install]\nState=fresh\n[uninstall]\nfile1=a\n");
    fs::create_hard_link(path, old);
    Write("state", "installed");
    EXPECT_EQ("[install]\nState=installed\n[uninstall]\nfile1=a\n", Contents());
    EXPECT_EQ("[install]\nState=fresh\n[uninstall]\nfile1=a\n", Contents(old));
    EXPECT_FALSE(fs::exists(fresh));

    fs::remove(old);
    fs::create_hard_link(path, old);
    fs::create_directory(fresh);
    Write("state", "again");
    EXPECT_EQ("[install]\nState=again\n[uninstall]\nfile1=a\n", Contents());
    EXPECT_EQ(Contents(), Contents(old));
    EXPECT_TRUE(fs::is_directory(fresh));
}

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
