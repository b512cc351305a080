#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/globals.h"
#include "script/profile.h"
#include "script/script.h"

namespace {

namespace fs = std::filesystem;

// Each test works in a folder of its own, named as the program names folders: with a
// trailing separator, so that folder & file name is the file's path.
class ScriptFile : public ::testing::Test {
  protected:
    std::string folder;
    std::string path;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const fs::path dir = fs::temp_directory_path() / "kv-script-tests" / info->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
        folder = dir.string() + static_cast<char>(fs::path::preferred_separator);
        path = folder + "setup.ini";
        SourceDir = folder;
    }
    void TearDown() override {
        ForgetAllProfileFiles();
        SourceDir.clear();
    }
    void Put(const std::string& text, const std::string& file = "setup.ini") const {
        std::ofstream out(folder + file, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::string Contents(const std::string& file = "setup.ini") const {
        std::ifstream in(folder + file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(ScriptFile, NamesIgnoreCaseAndBlanks) {
    Put("[Install]\r\nInstallState = Installed \r\nProductName=\tKavex Tool\t\r\n");
    EXPECT_EQ("Installed", ReadIni("INSTALLSTATE"));
    EXPECT_EQ("Installed", ReadIni("installstate", "INSTALL"));
    EXPECT_EQ("Installed", ReadIni("  InstallState\t", " install "));
    EXPECT_EQ("Kavex Tool", ReadIni("productname"));
    EXPECT_EQ("", ReadIni("ProductVersion"));
    EXPECT_EQ("", ReadIni("InstallState", "uninstall"));
    EXPECT_EQ("", ReadIni("InstallState", "install", folder, "other.ini"));
}

TEST_F(ScriptFile, MissingFileFolderAndEmptyFileReadEmpty) {
    EXPECT_EQ("", ReadIni("InstallState"));
    EXPECT_EQ("", ReadIni("InstallState", "install", folder + "nowhere\\", "setup.ini"));
    Put("");
    EXPECT_EQ("", ReadIni("InstallState"));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(ScriptFile, LineRules) {
    Put("top=before any section\n"
        "[install]\n"
        "; comment=not a key of interest\n"
        "NoEquals\n"
        "Empty=\n"
        "Dup=first\n"
        "dup=second\n"
        "a = b = c\n"
        "[ spaced name ] trailing text\n"
        "k=v\n"
        "[install]\n"
        "Later=invisible\n"
        "[broken\n"
        "\n"
        "   \t\n"
        "[last]\r"
        "cr=only\r"
        "x=1");
    EXPECT_EQ("before any section", ReadIni("top", ""));
    EXPECT_EQ("", ReadIni("top"));
    EXPECT_EQ("not a key of interest", ReadIni("; comment"));
    EXPECT_EQ("", ReadIni("NoEquals"));
    EXPECT_EQ("", ReadIni("Empty"));
    EXPECT_EQ("first", ReadIni("DUP"));
    EXPECT_EQ("b = c", ReadIni("a"));
    EXPECT_EQ("v", ReadIni("k", "spaced name"));
    // Only the first of two sections of the same name is searched.
    EXPECT_EQ("", ReadIni("Later"));
    EXPECT_EQ("only", ReadIni("cr", "last"));
    EXPECT_EQ("1", ReadIni("x", "last"));
}

TEST_F(ScriptFile, QuotesAndTheCutAt511) {
    const std::string long600(600, 'x');
    const std::string q510(510, 'q');
    const std::string q511(511, 'q');
    Put("[install]\n"
        "Long=" +
        long600 +
        "\n"
        "Double=\"  quoted  \"\n"
        "Single='a'\n"
        "Mixed='a\"\n"
        "Lone=\"\n"
        "Pair=\"\"\n"
        "Inner=a\"b\"\n"
        "Q510=\"" +
        q510 +
        "\"\n"
        "Q511=\"" +
        q511 +
        "\"\n"
        "Q600=\"" +
        long600 + "\"\n");
    EXPECT_EQ(std::string(511, 'x'), ReadIni("Long"));
    EXPECT_EQ("  quoted  ", ReadIni("Double"));
    EXPECT_EQ("a", ReadIni("Single"));
    EXPECT_EQ("'a\"", ReadIni("Mixed"));
    EXPECT_EQ("\"", ReadIni("Lone"));
    EXPECT_EQ("", ReadIni("Pair"));
    EXPECT_EQ("a\"b\"", ReadIni("Inner"));
    EXPECT_EQ(q510, ReadIni("Q510"));
    // 511 characters and the closing quote fill the buffer: the last character goes
    // instead of the quote.
    EXPECT_EQ(std::string(510, 'q'), ReadIni("Q511"));
    EXPECT_EQ(std::string(511, 'x'), ReadIni("Q600"));
}

TEST_F(ScriptFile, WriteCreatesFileSectionAndKeyInLowerCase) {
    WriteIni("DestPath", "C:\\Tools\\", "uninstall");
    EXPECT_EQ("[uninstall]\r\ndestpath=c:\\tools\\\r\n", Contents());
    EXPECT_EQ("c:\\tools\\", ReadIni("destpath", "uninstall"));
    EXPECT_EQ("c:\\tools\\", ReadIni("DestPath", "Uninstall"));
    WriteIni("installstate", "Installed");
    EXPECT_EQ("[uninstall]\r\ndestpath=c:\\tools\\\r\n[install]\r\ninstallstate=installed\r\n", Contents());
}

TEST_F(ScriptFile, WriteKeepsEveryOtherLine) {
    Put("; KavexInstall script\n"
        "[Install]\n"
        "InstallState = Fresh   ; not a comment\n"
        "ProductName=Tool\n"
        "\n"
        "[Other]\n"
        "x=1\n"
        "\n"
        "[uninstall]\n"
        "file1=a");
    WriteIni("installstate", "installed");
    WriteIni("ProductVersion", "2.0");
    WriteIni("file2", "b", "uninstall");
    WriteIni("y", "2", "other");
    EXPECT_EQ("; KavexInstall script\n"
              "[Install]\n"
              "InstallState = installed\n"
              "ProductName=Tool\n"
              "productversion=2.0\n"
              "\n"
              "[Other]\n"
              "x=1\n"
              "y=2\n"
              "\n"
              "[uninstall]\n"
              "file1=a\n"
              "file2=b\n",
              Contents());
    EXPECT_EQ("installed", ReadIni("InstallState"));
    EXPECT_EQ("2", ReadIni("y", "other"));
    EXPECT_EQ("b", ReadIni("file2", "uninstall"));
    // Writing the same value again leaves the file alone.
    const auto before = fs::last_write_time(path);
    WriteIni("file2", "B", "uninstall");
    EXPECT_EQ(before, fs::last_write_time(path));
}

TEST_F(ScriptFile, WriteIntoKeyWithoutValueAndBeforeFirstSection) {
    Put("lead=1\n[install]\nFlag\n");
    WriteIni("flag", "on");
    WriteIni("second", "2", "");
    EXPECT_EQ("lead=1\nsecond=2\n[install]\nFlag=on\n", Contents());
    EXPECT_EQ("on", ReadIni("flag"));
    EXPECT_EQ("2", ReadIni("second", ""));
}

TEST_F(ScriptFile, ThousandsOfAppendedKeysStayReadable) {
    Put("[install]\r\nTotalFiles=3\r\n[uninstall]\r\n");
    for (int i = 1; i <= 3000; ++i)
        WriteIni("file" + std::to_string(i), "C:\\Dest\\File" + std::to_string(i) + ".dat", "uninstall");
    WriteIni("uninstallfilestotal", "3000", "uninstall");
    // Read back through a fresh parse of the file as another process would see it.
    ForgetIniFile(path);
    for (int i = 1; i <= 3000; ++i)
        ASSERT_EQ("c:\\dest\\file" + std::to_string(i) + ".dat",
                  ReadIni("FILE" + std::to_string(i), "uninstall"));
    EXPECT_EQ("c:\\dest\\file3000.dat", ReadIni("file3000", "uninstall"));
    EXPECT_EQ("3000", ReadIni("uninstallfilestotal", "uninstall"));
    EXPECT_EQ("3", ReadIni("TotalFiles"));
    const std::string text = Contents();
    EXPECT_EQ(0u, text.find("[install]\r\nTotalFiles=3\r\n[uninstall]\r\nfile1=c:\\dest\\file1.dat\r\n"));
}

TEST_F(ScriptFile, ChangesByOthersAreSeen) {
    Put("[install]\nProductName=AAAA\n");
    EXPECT_EQ("AAAA", ReadIni("ProductName"));
    // Same size, same second: only the contents differ.
    Put("[install]\nProductName=BBBB\n");
    EXPECT_EQ("BBBB", ReadIni("ProductName"));
    WriteIni("file1", "x", "install");
    Put("[install]\nProductName=CCCC\nfile1=y\n");
    EXPECT_EQ("CCCC", ReadIni("ProductName"));
    EXPECT_EQ("y", ReadIni("file1"));
    // A write after someone else's change builds on the file as it is now.
    WriteIni("file2", "z");
    EXPECT_EQ("[install]\nProductName=CCCC\nfile1=y\nfile2=z\n", Contents());
    fs::remove(path);
    EXPECT_EQ("", ReadIni("ProductName"));
}

TEST_F(ScriptFile, UnwritableFileIsSilent) {
    WriteIni("destpath", "x", "uninstall",
             folder + "missing-folder" + static_cast<char>(fs::path::preferred_separator));
    EXPECT_FALSE(fs::exists(folder + "missing-folder"));
    EXPECT_EQ("", ReadIni("destpath", "uninstall", folder + "missing-folder\\"));
}

TEST_F(ScriptFile, ByteOrderMarks) {
    Put("\xEF\xBB\xBF[install]\r\nName=utf8\r\n");
    EXPECT_EQ("utf8", ReadIni("name"));
    WriteIni("more", "1");
    EXPECT_EQ("\xEF\xBB\xBF[install]\r\nName=utf8\r\nmore=1\r\n", Contents());
    const std::string wide("\xFF\xFE[\0i\0]\0\r\0\n\0k\0=\0v\0", 18);
    Put(wide);
    EXPECT_EQ("v", ReadIni("k", "i"));
    WriteIni("n", "w", "i");
    std::string expected = wide;
    expected.append("\r\0\n\0n\0=\0w\0\r\0\n\0", 14);
    EXPECT_EQ(expected, Contents());
}

} // namespace
