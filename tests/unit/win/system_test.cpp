// The system layer on Wine's real registry, processes and shell: the registry procedures'
// guards, waiting for a program, the toolkit's shortcuts, and the product key that the
// component search reads first.
#include <objbase.h>
#include <shobjidl.h>

#include "engine_support.h"
#include "system/regprocs.h"
#include "system/toolkit.h"
#include "wizard/later_parts.h"

using namespace kvtest;

namespace {

class SystemLayer : public Session {};

TEST_F(SystemLayer, RegistryProceduresTouchNothingWithoutRootOrPath) {
    CreateRegKey(RegHKeyCurrentUser, "Software\\KavexTests\\Keep");
    CreateRegKey(0, "Software\\KavexTests\\NoRoot");
    DeleteRegKey(0, "Software\\KavexTests\\Keep");
    // An empty path must never be taken as the whole root.
    DeleteRegKey(RegHKeyCurrentUser, "");
    DeleteRegKey(RegHKeyCurrentUser, " \\ ");
    EXPECT_TRUE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KavexTests\\Keep"));
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KavexTests\\NoRoot"));
    // A value is never written under a key that is not there.
    SetRegValue(RegHKeyCurrentUser, "Software\\KavexTests\\Never", "name", "value", 1);
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KavexTests\\Never"));
}

// kvwait.exe sleeps, then writes its marker: the marker is there once RunAndWait returns.
TEST(ProcessRunner, RunAndWaitReturnsOnlyAfterTheProgramEnded) {
    const std::string folder = FreshFolder("sys-process");
    RunAndWait(BinFolder() + "kvwait.exe 800 " + folder + "waited.txt");
    EXPECT_EQ(ReadText(folder + "waited.txt"), "done");
    RunAndWait(folder + "no such program.exe"); // back at once, silently
}

// Target and working folder of a shell link file, read back through the shell.
std::pair<std::string, std::string> ReadLink(const std::string& linkPath) {
    char target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(std::wstring(linkPath.begin(), linkPath.end()).c_str(), STGM_READ)))
        link->GetPath(target, MAX_PATH, nullptr, 0), link->GetWorkingDirectory(folder, MAX_PATH);
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return {target, folder};
}

TEST_F(SystemLayer, ShortcutsAreRealLinksAndEmptiedFoldersGoWithThem) {
    const std::string programs = ProgramsFolder(), tools = programs + "KvTest Tools\\";
    std::filesystem::remove_all(tools);
    const std::string target = BinFolder() + "kvwait.exe";
    ASSERT_TRUE(ToolkitCreateShellFolder("KvTest Tools\\Extras"));
    ASSERT_TRUE(ToolkitCreateShellLink("KvTest Tools\\Extras", "KvTest Reader", target, ""));
    ASSERT_TRUE(ToolkitCreateShellLink("KvTest Tools", "Second", target, ""));
    const auto [linkTarget, workingFolder] = ReadLink(tools + "Extras\\KvTest Reader.lnk");
    EXPECT_STRCASEEQ(linkTarget.c_str(), target.c_str());
    EXPECT_STRCASEEQ((workingFolder + "\\").c_str(), BinFolder().c_str());

    // Names that are empty or lead out of the Programs folder remove nothing.
    ToolkitRemoveShellLink("KvTest Tools\\Extras\\..", "Second");
    ToolkitRemoveShellLink("KvTest Tools\\Extras", "..\\Second");
    ToolkitRemoveShellLink("KvTest Tools", "");
    EXPECT_TRUE(IsFile(tools + "Second.lnk"));

    // The uninstaller names the folder as the installed script recorded it: in lower case.
    ASSERT_TRUE(ToolkitRemoveShellLink("kvtest tools\\extras", "KvTest Reader"));
    EXPECT_FALSE(std::filesystem::exists(tools + "Extras"));
    EXPECT_TRUE(IsFile(tools + "Second.lnk")); // a folder stays while it holds a shortcut
    ToolkitRemoveShellLink("KvTest Tools", "Second");
    EXPECT_FALSE(std::filesystem::exists(tools));
    EXPECT_TRUE(std::filesystem::exists(programs));
}

TEST_F(SystemLayer, ProductKeyGivesTheDestinationWithoutSearching) {
    const std::string folder = FreshFolder("sys-productkey");
    WriteText(folder + "setup.ini", "[install]\nProductName=Later Test Product\nComponents=never.dll\n");
    UseSource(folder);
    RegPut(HKEY_LOCAL_MACHINE, ProductKey + "Later Test Product", "", "D:\\Old Place");
    UseDestination("C:\\Program Files\\Later\\");
    FindComponents(session, [] { return false; });
    EXPECT_EQ(Destination(), "D:\\Old Place\\");
}

} // namespace
