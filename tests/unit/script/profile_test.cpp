#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/profile_files.h"
#include "script/script.h"

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
    std::string Contents() const {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }
    std::string Read(std::string_view key, std::string_view section = "install") {
        return files.Read(path, section, key);
    }
    void Write(std::string_view key, std::string_view value, std::string_view section = "install") {
        EXPECT_TRUE(files.Write(path, section, key, value));
    }
};

TEST_F(ProfileFile, LineRules) {
    EXPECT_EQ("", Read("top", ""));
    Put("top=before any section\n[Install]\n; comment=not a key of interest\nNoEquals\nDup=first\n"
        "dup=second\na = b = c\nInstallState = Installed \x1a\n[ spaced name ] trailing text\nk=v\n"
        "[install]\nLater=invisible\n[broken\n\n   \t\n[last]\rcr=only\rx=1");
    EXPECT_EQ("before any section", Read("top", ""));
    EXPECT_EQ("", Read("top"));
    EXPECT_EQ("not a key of interest", Read("; comment"));
    EXPECT_EQ("", Read("NoEquals"));
    EXPECT_EQ("first", Read("DUP"));
    EXPECT_EQ("b = c", Read("a"));
    EXPECT_EQ("Installed", Read("  INSTALLstate\t", " INSTALL "));
    EXPECT_EQ("v", Read("k", "spaced name"));
    EXPECT_EQ("", Read("Later")); // only the first of two sections of one name is searched
    EXPECT_EQ("only", Read("cr", "last"));
    EXPECT_EQ("1", Read("x", "last"));
    EXPECT_EQ("", Read("x", "nosuch"));
}

TEST_F(ProfileFile, QuotesAndTheCutAt511) {
    const std::string x600(600, 'x'), q510(510, 'q'), q511(511, 'q');
    Put("[install]\nLong=" + x600 + "\nDouble=\"  quoted  \"\nSingle='a'\nMixed='a\"\nLone=\"\nPair=\"\"\n" +
        "Inner=a\"b\"\nQ510=\"" + q510 + "\"\nQ511=\"" + q511 + "\"\nQ600=\"" + x600 + "\"\n");
    EXPECT_EQ(std::string(511, 'x'), Read("Long"));
    EXPECT_EQ("  quoted  ", Read("Double"));
    EXPECT_EQ("a", Read("Single"));
    EXPECT_EQ("'a\"", Read("Mixed"));
    EXPECT_EQ("\"", Read("Lone"));
    EXPECT_EQ("", Read("Pair"));
    EXPECT_EQ("a\"b\"", Read("Inner"));
    EXPECT_EQ(q510, Read("Q510"));
    // 511 characters and the closing quote fill the buffer: the last character goes instead.
    EXPECT_EQ(std::string(510, 'q'), Read("Q511"));
    EXPECT_EQ(std::string(511, 'x'), Read("Q600"));
}

TEST_F(ProfileFile, WriteIniCreatesFileSectionAndKeyInLowerCase) {
    WriteIni(files, "DestPath", "C:\\Tools\\", "uninstall", folder);
    WriteIni(files, "installstate", "Installed", "install", folder);
    EXPECT_EQ("[uninstall]\r\ndestpath=c:\\tools\\\r\n[install]\r\ninstallstate=installed\r\n", Contents());
    EXPECT_EQ("c:\\tools\\", ReadIni(files, "DestPath", "Uninstall", folder));
}

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
    EXPECT_EQ("installed", Read("InstallState"));
    EXPECT_EQ("b", Read("file2", "uninstall"));
    // Writing the same value again leaves the file alone.
    const auto before = fs::last_write_time(path);
    Write("file2", "b", "uninstall");
    EXPECT_EQ(before, fs::last_write_time(path));
    EXPECT_FALSE(files.Write(folder + "missing-folder/setup.ini", "uninstall", "destpath", "x"));
    EXPECT_FALSE(fs::exists(folder + "missing-folder"));
}

TEST_F(ProfileFile, ThousandsOfAppendedKeysStayReadable) {
    Put("[install]\r\nTotalFiles=3\r\n[uninstall]\r\n");
    for (int i = 1; i <= 3000; ++i)
        Write("file" + std::to_string(i), "c:\\dest\\file" + std::to_string(i) + ".dat", "uninstall");
    ProfileFiles fresh; // as another process sees the file
    for (int i = 1; i <= 3000; ++i)
        ASSERT_EQ("c:\\dest\\file" + std::to_string(i) + ".dat",
                  fresh.Read(path, "uninstall", "FILE" + std::to_string(i)));
    EXPECT_EQ("3", fresh.Read(path, "install", "TotalFiles"));
    EXPECT_EQ(0u,
              Contents().find("[install]\r\nTotalFiles=3\r\n[uninstall]\r\nfile1=c:\\dest\\file1.dat\r\n"));
}

TEST_F(ProfileFile, ChangesByOthersAreSeen) {
    Put("[install]\nProductName=AAAA\n");
    EXPECT_EQ("AAAA", Read("ProductName"));
    Put("[install]\nProductName=BBBB\n"); // same size, likely the same time
    EXPECT_EQ("BBBB", Read("ProductName"));
    Write("file1", "x");
    Put("[install]\nProductName=CCCC\nfile1=y\n");
    EXPECT_EQ("y", Read("file1"));
    // A write after someone else's change builds on the file as it is now.
    Write("file2", "z");
    EXPECT_EQ("[install]\nProductName=CCCC\nfile1=y\nfile2=z\n", Contents());
    fs::remove(path);
    EXPECT_EQ("", Read("ProductName"));
}

// A stamp function that reports every file unchanged: the remembered parse is trusted
// until the file is forgotten.
FileStamp FixedStamp(const std::string&) {
    return FileStamp{true, 1, 0, true};
}

TEST_F(ProfileFile, TheStampFunctionDecidesWhenToReadAgain) {
    ProfileFiles trusting(FixedStamp);
    Put("[install]\nName=AAAA\n");
    EXPECT_EQ("AAAA", trusting.Read(path, "install", "name"));
    Put("[install]\nName=BBBB\n");
    EXPECT_EQ("AAAA", trusting.Read(path, "install", "name"));
    trusting.Forget(path);
    EXPECT_EQ("BBBB", trusting.Read(path, "install", "name"));
}

TEST_F(ProfileFile, ByteOrderMarks) {
    Put("\xEF\xBB\xBF[install]\r\nName=utf8 \xC3\xA4\xE2\x82\xAC\xE2\x86\x92\xC3\r\n");
    EXPECT_EQ("utf8 \xE4\x80??", Read("name"));
    Write("more", "\x80");
    EXPECT_EQ(
        "\xEF\xBB\xBF[install]\r\nName=utf8 \xC3\xA4\xE2\x82\xAC\xE2\x86\x92\xC3\r\nmore=\xE2\x82\xAC\r\n",
        Contents());
    const std::string wide("\xFF\xFE[\0i\0]\0\r\0\n\0k\0=\0v\0", 18);
    Put(wide);
    EXPECT_EQ("v", Read("k", "i"));
    Write("n", "w", "i");
    EXPECT_EQ(std::string(wide).append("\r\0\n\0n\0=\0w\0\r\0\n\0", 14), Contents());
}

} // namespace
