// The system layer on Wine's real registry, processes, shell, disks and folders: the
// registry procedures' guards, waiting for a program, the toolkit's shortcuts, free space,
// the folder listing of the component search and the product key it reads first.
#include <objbase.h>
#include <shobjidl.h>

#include <algorithm>
#include <climits>

#include "engine_support.h"
#include "system/drives.h"
#include "system/regprocs.h"
#include "system/toolkit.h"
#include "wizard/component_search.h"
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

TEST_F(SystemLayer, ReadRegStringTrimsLeadingBlanksAndReadsAtMost254Bytes) {
    const std::string key = "Software\\KavexTests";
    RegPut(HKEY_CURRENT_USER, key, "Tools", "  C:\\Tools  ");
    RegPut(HKEY_CURRENT_USER, key, "Longest", std::string(254, 'x'));
    RegPut(HKEY_CURRENT_USER, key, "TooLong", std::string(300, 'y'));
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, key, "Tools"), "C:\\Tools  ");
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, key, "Longest"), std::string(254, 'x'));
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, key, "TooLong"), "");
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, key, "Missing"), "");
    EXPECT_EQ(ReadRegString(0, key, "Tools"), "");
}

TEST_F(SystemLayer, CurrentVersionValuesFallBackWhenMissingOrBlank) {
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    RegPut(HKEY_LOCAL_MACHINE, key, "KvTestBlank", "   ");
    RegPut(HKEY_LOCAL_MACHINE, key, "KvTestPadded", "  D:\\Apps  ");
    EXPECT_EQ(GetCurrentVersionValue("KvTestMissing", "C:\\Program Files"), "C:\\Program Files");
    EXPECT_EQ(GetCurrentVersionValue("KvTestBlank", "C:\\Program Files"), "C:\\Program Files");
    EXPECT_EQ(GetCurrentVersionValue("KvTestPadded", "x"), "D:\\Apps  ");
    // The path macros get the value trimmed, and empty when missing.
    EXPECT_EQ(SystemFolderSource().CurrentVersionValue("KvTestPadded"), "D:\\Apps");
    EXPECT_EQ(SystemFolderSource().CurrentVersionValue("KvTestMissing"), "");
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
    std::pair<std::string, std::string> read;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(std::wstring(linkPath.begin(), linkPath.end()).c_str(), STGM_READ))) {
        char text[MAX_PATH] = {};
        if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) read.first = text;
        if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) read.second = text;
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return read;
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

TEST(Drives, FreeSpaceIsCappedAtTheLargestSignedNumberAndTheCurrentFolderStays) {
    const std::string folder = FreshFolder("sys-drive");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    ULARGE_INTEGER available{}, total{}, totalFree{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
    const auto expected = std::min<ULONGLONG>(available.QuadPart, INT32_MAX);
    EXPECT_EQ(DriveFreeSpace("c:\\some\\folder\\"), " " + std::to_string(expected));
    EXPECT_EQ(DriveFreeSpace("Q:\\Program Files\\"), "unknown");
    EXPECT_EQ(DriveFreeSpace(""), "unknown");
    EXPECT_EQ(DriveFreeSpace("\\\\server\\share\\"), "unknown");
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current) + "\\", folder);
}

TEST(ComponentSearch, FolderListingHoldsNormalEntriesOnly) {
    const std::string folder = FreshFolder("sys-listing");
    for (const char* sub : {"sub", "hiddensub"}) CreateDirectoryA((folder + sub).c_str(), nullptr);
    for (const char* name : {"b.dll", "A.dll", "hidden.dll", "sys.dll", "ro.dll"})
        WriteText(folder + name, "x");
    SetFileAttributesA((folder + "hiddensub").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((folder + "hidden.dll").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((folder + "sys.dll").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA((folder + "ro.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    FolderListing listing;
    ASSERT_TRUE(ReadFolderListing(folder, listing));
    SortListing(listing);
    EXPECT_EQ(listing.folders, Lines{"sub"});
    EXPECT_EQ(listing.files, (Lines{"A.dll", "b.dll", "ro.dll"}));
    EXPECT_FALSE(ReadFolderListing(folder + "nothere", listing));
    SetFileAttributesA((folder + "ro.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SystemLayer, ProductKeyGivesTheDestinationWithoutSearching) {
    const std::string folder = FreshFolder("sys-productkey");
    WriteText(folder + "setup.ini", "[install]\nProductName=Later Test Product\nComponents=never.dll\n");
    UseSource(folder);
    RegPut(HKEY_LOCAL_MACHINE, ProductKey + "Later Test Product", "", "D:\\Old Place");
    UseDestination("C:\\Program Files\\Later\\");
    FindComponents();
    EXPECT_EQ(Destination(), "D:\\Old Place\\");
}

} // namespace
