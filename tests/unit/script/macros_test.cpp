#include <gtest/gtest.h>

#include <map>

#include "script/macros.h"

namespace {

class FakeFolders : public FolderSource {
  public:
    std::string windows = "C:\\WINDOWS";
    std::string system = "C:\\WINDOWS\\system32";
    std::map<std::string, std::string> currentVersion; // names as the registry sees them
    std::map<std::string, std::string> shellFolders;
    mutable std::vector<std::string> asked;

    std::string WindowsFolder() const override { return windows; }
    std::string SystemFolder() const override { return system; }
    std::string CurrentVersionValue(std::string_view name) const override {
        asked.emplace_back(name);
        auto it = currentVersion.find(std::string(name));
        return it == currentVersion.end() ? "" : it->second;
    }
    std::string ShellFolder(std::string_view name) const override {
        asked.emplace_back(name);
        auto it = shellFolders.find(std::string(name));
        return it == shellFolders.end() ? "" : it->second;
    }
};

class Macros : public ::testing::Test {
  protected:
    FakeFolders folders;
    std::string destDir = "D:\\Apps\\Tool\\";
    std::string Expanded(std::string path) {
        ExpandPathMacro(path, destDir, folders);
        return path;
    }
    std::string Resolved(std::string_view path) { return ResolveScriptPath(path, destDir, folders); }
};

TEST(MacroHelpers, TrailingBackslashNameAndReplace) {
    EXPECT_EQ("C:", AddTrailingBackslash("C:"));
    EXPECT_EQ("C:\\", AddTrailingBackslash("C:\\"));
    EXPECT_EQ("C:\\WINDOWS\\", AddTrailingBackslash("C:\\WINDOWS"));
    EXPECT_EQ("", AddTrailingBackslash(""));

    EXPECT_EQ("Desktop", GetMacroName("%Desktop%readme.txt"));
    EXPECT_EQ("b", GetMacroName("a%b%c%d%"));
    EXPECT_EQ("", GetMacroName("100%.txt"));
    EXPECT_EQ("", GetMacroName("%%x"));

    std::string text = "a%WINDOWS%b%windows%";
    ReplaceFirstText(text, "%windows%", "W\\");
    EXPECT_EQ("aW\\b%windows%", text);
    ReplaceFirstText(text, "zzz", "y");
    EXPECT_EQ("aW\\b%windows%", text);
}

TEST_F(Macros, NamedFoldersIgnoreLetterCase) {
    EXPECT_EQ("C:\\WINDOWS\\\\fonts", Expanded("%WINDOWS%\\fonts"));
    EXPECT_EQ("C:\\WINDOWS\\fonts", Expanded("%Windows%fonts"));
    EXPECT_EQ("C:\\WINDOWS\\system32\\x.dll", Expanded("%SYSTEM%x.dll"));
    EXPECT_EQ("D:\\Apps\\Tool\\a.txt", Expanded("%Default%a.txt"));
}

TEST_F(Macros, OnlyTheFirstMacroInTestOrderIsReplaced) {
    EXPECT_EQ("%system%x;C:\\WINDOWS\\y", Expanded("%system%x;%windows%y"));
    EXPECT_EQ("D:\\Apps\\Tool\\%default%", Expanded("%default%%default%"));
    EXPECT_EQ("%windows%D:\\Apps\\Tool\\", Expanded("%windows%%default%"));
}

TEST_F(Macros, ProgramAndCommonFilesFromRegistryOrWindowsFolder) {
    EXPECT_EQ("C:\\Program Files\\x", Expanded("%programfiles%x"));
    EXPECT_EQ("C:\\WINDOWS\\Common Files\\x", Expanded("%commonfiles%x"));
    EXPECT_EQ((std::vector<std::string>{"programfilesdir", "commonfilesdir"}), folders.asked);

    folders.currentVersion["programfilesdir"] = "E:\\Progs";
    folders.currentVersion["commonfilesdir"] = "E:\\Common";
    EXPECT_EQ("E:\\Progs\\x", Expanded("%ProgramFiles%x"));
    EXPECT_EQ("E:\\Common\\x", Expanded("%COMMONFILES%x"));

    folders.currentVersion["programfilesdir"] = "   ";
    EXPECT_EQ("C:\\Program Files\\x", Expanded("%programfiles%x"));

    folders.windows.clear();
    folders.currentVersion.clear();
    EXPECT_EQ("Program Files\\x", Expanded("%programfiles%x"));
    EXPECT_EQ("\\Common Files\\x", Expanded("%commonfiles%x"));
    EXPECT_EQ("fonts", Expanded("%windows%fonts"));
}

TEST_F(Macros, ShellFoldersByName) {
    folders.shellFolders["Desktop"] = "C:\\Users\\me\\Desktop";
    EXPECT_EQ("C:\\Users\\me\\Desktop\\readme.txt", Expanded("%Desktop%readme.txt"));
    EXPECT_EQ("%NoSuchFolder%x", Expanded("%NoSuchFolder%x"));
    EXPECT_EQ("100%.txt", Expanded("100%.txt"));
}

TEST_F(Macros, ResolveScriptPath) {
    EXPECT_EQ("D:\\Apps\\Tool\\bin\\a.exe", Resolved("bin\\a.exe"));
    EXPECT_EQ("D:\\Apps\\Tool\\C:\\x.dll", Resolved("C:\\x.dll"));
    EXPECT_EQ("100%.txt", Resolved("100%.txt"));
    destDir = "D:\\Apps\\Tool";
    EXPECT_EQ("D:\\Apps\\Tool\\a.txt", Resolved("a.txt"));
    destDir.clear();
    EXPECT_EQ("a.txt", Resolved("a.txt"));
    EXPECT_EQ("a.txt", Resolved("%default%a.txt"));
}

TEST_F(Macros, UnknownFoldersDoNotFail) {
    folders.windows.clear();
    EXPECT_EQ("x", Expanded("%windows%x"));
    EXPECT_EQ("%Desktop%x", Expanded("%Desktop%x"));
}

} // namespace
