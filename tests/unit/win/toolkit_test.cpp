// The toolkit library STKIT432.DLL, loaded from the test program's folder as setup.exe
// loads it: shortcut folders and shortcuts in the Start menu's Programs folder, the names
// it refuses and the paths too long for it. Its free-space count is checked on the shipped
// 32-bit library, called as a 32-bit program calls it (tests/win32/toolkit_caller.c).
#include <objbase.h>
#include <shobjidl.h>

#include <algorithm>

#include "engine_support.h"
#include "system/toolkit.h"

using namespace kvtest;

namespace {

// Target, working folder and arguments of a shell link file, read back through the shell.
struct Link {
    std::string target, folder, arguments;
};
Link ReadLink(const std::string& linkPath) {
    char target[MAX_PATH] = {}, folder[MAX_PATH] = {}, arguments[MAX_PATH] = {};
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(std::wstring(linkPath.begin(), linkPath.end()).c_str(), STGM_READ)))
        link->GetPath(target, MAX_PATH, nullptr, 0), link->GetWorkingDirectory(folder, MAX_PATH),
            link->GetArguments(arguments, MAX_PATH);
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return {target, folder, arguments};
}

// Every name below `folder`, folders with a trailing backslash, sorted.
Lines Tree(const std::string& folder) {
    Lines names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
        names.push_back(entry.path().string().substr(folder.size()) + (entry.is_directory() ? "\\" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

class Toolkit : public ::testing::Test {
  protected:
    const std::string programs = ProgramsFolder(), tools = programs + "KvTest Tools\\";
    const std::string target = BinFolder() + "kvwait.exe";
    void SetUp() override {
        std::error_code ignored;
        std::filesystem::remove_all(tools, ignored);
    }
    void TearDown() override { SetUp(); }
};

TEST_F(Toolkit, ShortcutsAreRealLinksAndEmptiedFoldersGoWithThem) {
    ASSERT_TRUE(ToolkitCreateShellFolder("KvTest Tools\\Extras"));
    ASSERT_TRUE(ToolkitCreateShellLink("KvTest Tools\\Extras", "KvTest Reader", target, "/a \"b c\""));
    ASSERT_TRUE(ToolkitCreateShellLink("KvTest Tools", "Second", target, ""));
    const Link link = ReadLink(tools + "Extras\\KvTest Reader.lnk");
    EXPECT_STRCASEEQ(link.target.c_str(), target.c_str());
    EXPECT_STRCASEEQ((link.folder + "\\").c_str(), BinFolder().c_str());
    EXPECT_EQ(link.arguments, "/a \"b c\"");
    // The working folder of a program in a drive's root is that root; a target without
    // a folder gives none.
    ASSERT_TRUE(ToolkitCreateShellLink("KvTest Tools", "Root", "C:\\kvroot.exe", ""));
    EXPECT_EQ(ReadLink(tools + "Root.lnk").folder, "C:\\");
    ASSERT_TRUE(ToolkitCreateShellLink("KvTest Tools", "Bare", "kvbare.exe", ""));
    EXPECT_EQ(ReadLink(tools + "Bare.lnk").folder, "");
    ASSERT_TRUE(ToolkitRemoveShellLink("KvTest Tools", "Root"));
    ASSERT_TRUE(ToolkitRemoveShellLink("KvTest Tools", "Bare"));

    // Names that are empty or lead out of the Programs folder remove nothing.
    EXPECT_FALSE(ToolkitRemoveShellLink("KvTest Tools\\Extras\\..", "Second"));
    EXPECT_FALSE(ToolkitRemoveShellLink("KvTest Tools\\Extras", "..\\Second"));
    EXPECT_FALSE(ToolkitRemoveShellLink("KvTest Tools", ""));
    EXPECT_TRUE(IsFile(tools + "Second.lnk"));

    // The uninstaller names the folder as the installed script recorded it: in lower case.
    ASSERT_TRUE(ToolkitRemoveShellLink("kvtest tools\\extras", "KvTest Reader"));
    EXPECT_FALSE(std::filesystem::exists(tools + "Extras"));
    EXPECT_TRUE(IsFile(tools + "Second.lnk")); // a folder stays while it holds a shortcut
    // A shortcut that is not there removes nothing, but the empty levels of its folder go.
    ASSERT_TRUE(ToolkitCreateShellFolder("KvTest Tools\\Empty\\Empty"));
    EXPECT_FALSE(ToolkitRemoveShellLink("KvTest Tools\\Empty\\Empty", "Never Made"));
    EXPECT_EQ(Tree(tools), Lines{"Second.lnk"});
    EXPECT_TRUE(ToolkitRemoveShellLink("KvTest Tools", "Second"));
    EXPECT_FALSE(std::filesystem::exists(tools));
    EXPECT_TRUE(std::filesystem::exists(programs));
}

// Parts of a folder name are separated by either slash, lose their surrounding blanks and
// may be empty; the empty name is the Programs folder itself. A part "." or "..", a drive
// and the characters no file name may hold refuse the whole name, before anything is made.
TEST_F(Toolkit, FolderAndShortcutNamesAreTakenApartOrRefused) {
    ASSERT_TRUE(ToolkitCreateShellFolder("\\ KvTest Tools /  Extras \\\\Deep  "));
    EXPECT_EQ(Tree(tools), (Lines{"Extras\\", "Extras\\Deep\\"}));
    EXPECT_TRUE(ToolkitCreateShellFolder(""));
    ASSERT_TRUE(ToolkitCreateShellLink("/KvTest Tools\\ ", "A.B", target, ""));
    ASSERT_TRUE(ToolkitCreateShellLink("", "KvTest In Programs", target, ""));
    EXPECT_TRUE(IsFile(programs + "KvTest In Programs.lnk"));
    EXPECT_TRUE(ToolkitRemoveShellLink("", "KvTest In Programs"));

    const Lines before = Tree(programs);
    for (const char* folder :
         {"KvTest Tools\\..\\Escape", "KvTest Tools\\ .. \\Escape", "KvTest Tools\\.", "C:\\KvTest", "Kv*",
          "Kv?", "Kv\"x", "Kv<x", "Kv>x", "Kv|x", "Kv\x01x", "KvTest Tools\\Extras\\Deep\\Kv\tx"}) {
        EXPECT_FALSE(ToolkitCreateShellFolder(folder)) << folder;
        EXPECT_FALSE(ToolkitCreateShellLink(folder, "Refused", target, "")) << folder;
        EXPECT_FALSE(ToolkitRemoveShellLink(folder, "A.B")) << folder;
    }
    for (const char* name : {"", "a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", ".", "..",
                             "...", " . ", "a\tb"}) {
        EXPECT_FALSE(ToolkitCreateShellLink("KvTest Tools", name, target, "")) << name;
        EXPECT_FALSE(ToolkitRemoveShellLink("KvTest Tools", name)) << name;
    }
    EXPECT_EQ(Tree(programs), before);
    EXPECT_TRUE(ToolkitRemoveShellLink("KvTest Tools", "A.B"));
}

// A link's path may be as long as the system's paths (MAX_PATH, 260 characters with the
// ending zero); a name that would make it longer is refused, and nothing is made for it.
// So is a folder too long for a path, a target too long for a link, and a folder one
// level of which could not be made.
TEST_F(Toolkit, PathsLongerThanTheSystemTakesAreRefused) {
    const size_t room = MAX_PATH - 1 - tools.size() - 4; // the longest name before ".lnk"
    const std::string longest(room, 'n'), tooLong(room + 1, 'n');
    EXPECT_FALSE(ToolkitCreateShellLink("KvTest Tools", tooLong, target, ""));
    EXPECT_FALSE(std::filesystem::exists(tools));
    ASSERT_TRUE(ToolkitCreateShellLink("KvTest Tools", longest, target, ""));
    EXPECT_TRUE(IsFile(tools + longest + ".lnk"));
    EXPECT_FALSE(ToolkitRemoveShellLink("KvTest Tools", tooLong));
    EXPECT_TRUE(ToolkitRemoveShellLink("KvTest Tools", longest));

    const std::string deep = "KvTest Tools\\" + std::string(MAX_PATH - tools.size(), 'd');
    EXPECT_FALSE(ToolkitCreateShellFolder(deep));
    EXPECT_FALSE(ToolkitCreateShellLink(deep, "x", target, ""));
    EXPECT_FALSE(std::filesystem::exists(tools));
    const std::string longTarget = "C:\\" + std::string(MAX_PATH - 7, 't') + ".exe"; // MAX_PATH long
    EXPECT_FALSE(ToolkitCreateShellLink("KvTest Tools", "Long Target", longTarget, ""));
    EXPECT_FALSE(std::filesystem::exists(tools));
}

} // namespace
