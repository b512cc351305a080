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

    std::string WindowsFolder() const override { return windows; }
    std::string SystemFolder() const override { return system; }
    std::string CurrentVersionValue(std::string_view name) const override {
        auto it = currentVersion.find(std::string(name));
        return it == currentVersion.end() ? "" : it->second;
    }
    std::string ShellFolder(std::string_view name) const override {
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

// Names in any letter case, the shell's folders by name; only the first macro of the fixed
// test order is replaced.
TEST_F(Macros, NamedFoldersFirstInTestOrder) {
    folders.shellFolders["Desktop"] = "C:\\Users\\me\\Desktop";
    const std::pair<const char*, const char*> cases[] = {
        {"%WINDOWS%\\fonts", "C:\\WINDOWS\\\\fonts"},
        {"%Windows%fonts", "C:\\WINDOWS\\fonts"},
        {"%SYSTEM%x.dll", "C:\\WINDOWS\\system32\\x.dll"},
        {"%Default%a.txt", "D:\\Apps\\Tool\\a.txt"},
        {"%system%x;%windows%y", "%system%x;C:\\WINDOWS\\y"},
        {"%default%%default%", "D:\\Apps\\Tool\\%default%"},
        {"%windows%%default%", "%windows%D:\\Apps\\Tool\\"},
        {"100%.txt", "100%.txt"},
        {"%%x", "%%x"},
        {"%Desktop%readme.txt", "C:\\Users\\me\\Desktop\\readme.txt"},
        {"%NoSuchFolder%x", "%NoSuchFolder%x"}};
    for (const auto& [path, expanded] : cases) EXPECT_EQ(Expanded(path), expanded) << path;
}

TEST_F(Macros, ProgramAndCommonFilesFromRegistryOrWindowsFolder) {
    EXPECT_EQ("C:\\Program Files\\x", Expanded("%programfiles%x"));
    EXPECT_EQ("C:\\WINDOWS\\Common Files\\x", Expanded("%commonfiles%x"));
    // The registry's value names are exact: these are the only two the fake answers.
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

TEST_F(Macros, ResolveScriptPath) {
    EXPECT_EQ("D:\\Apps\\Tool\\bin\\a.exe", Resolved("bin\\a.exe"));
    EXPECT_EQ("D:\\Apps\\Tool\\C:\\x.dll", Resolved("C:\\x.dll"));
    EXPECT_EQ("100%.txt", Resolved("100%.txt"));
    destDir = "D:\\Apps\\Tool";
    EXPECT_EQ("D:\\Apps\\Tool\\a.txt", Resolved("a.txt"));
    destDir = "D:"; // a drive's own folder gets no backslash
    EXPECT_EQ("D:a.txt", Resolved("a.txt"));
    destDir.clear();
    EXPECT_EQ("a.txt", Resolved("a.txt"));
    EXPECT_EQ("a.txt", Resolved("%default%a.txt"));
}

} // namespace
