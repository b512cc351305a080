// The toolkit library (shortcuts, free space), the drive procedures and the system
// folders, on Wine's real shell, disks and registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "script/macros.h"
#include "system/drives.h"
#include "system/folders.h"
#include "system/regprocs.h"
#include "system/toolkit.h"
#include "system_test_support.h"

namespace {

std::string ProgramsFolder() {
    char path[MAX_PATH];
    if (FAILED(
            SHGetFolderPathA(nullptr, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return "";
    return path;
}

// Target and working folder of a shell link file, read back through the shell.
struct LinkInfo {
    bool loaded = false;
    std::string target;
    std::string workingFolder;
};

LinkInfo ReadLink(const std::string& linkPath) {
    LinkInfo info;
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(linkPath.begin(), linkPath.end());
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
                char text[MAX_PATH] = {};
                info.loaded = true;
                if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) info.target = text;
                text[0] = '\0';
                if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) info.workingFolder = text;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return info;
}

class ShortcutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        programs_ = ProgramsFolder();
        ASSERT_FALSE(programs_.empty());
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean() const {
        kvtest::RemoveTree(programs_ + "\\KvTest Tools");
        DeleteFileA((programs_ + "\\KvTest Root.lnk").c_str());
        DeleteFileA((programs_ + "\\KvTest Sentinel.lnk").c_str());
    }
    std::string programs_;
    std::string target_ = kvtest::ProgramFolder() + "kvwait.exe";
};

TEST_F(ShortcutTest, ALinkIsMadeInItsFolderAndRemovedWithTheEmptiedFolders) {
    ASSERT_TRUE(ToolkitCreateShellFolder("KvTest Tools\\Extras"));
    EXPECT_TRUE(kvtest::PathExists(programs_ + "\\KvTest Tools\\Extras"));

    ASSERT_TRUE(ToolkitCreateShellLink("KvTest Tools\\Extras", "KvTest Reader", target_, ""));
    std::string link = programs_ + "\\KvTest Tools\\Extras\\KvTest Reader.lnk";
    LinkInfo info = ReadLink(link);
    ASSERT_TRUE(info.loaded) << link;
    EXPECT_STRCASEEQ(info.target.c_str(), target_.c_str());
    std::string targetFolder = target_.substr(0, target_.find_last_of('\\'));
    EXPECT_STRCASEEQ(info.workingFolder.c_str(), targetFolder.c_str());

    // The uninstaller names the folder as the script copy recorded it: in lower case.
    ASSERT_TRUE(ToolkitRemoveShellLink("kvtest tools\\extras", "KvTest Reader"));
    EXPECT_FALSE(kvtest::PathExists(link));
    EXPECT_FALSE(kvtest::PathExists(programs_ + "\\KvTest Tools\\Extras"));
    EXPECT_FALSE(kvtest::PathExists(programs_ + "\\KvTest Tools"));
    EXPECT_TRUE(kvtest::PathExists(programs_));
}

TEST_F(ShortcutTest, AFolderStaysWhileItHoldsShortcutsAndProgramsItselfAlways) {
    ToolkitCreateShellLink("KvTest Tools", "First", target_, "");
    ToolkitCreateShellLink("KvTest Tools", "Second", target_, "");
    ToolkitRemoveShellLink("KvTest Tools", "First");
    EXPECT_FALSE(kvtest::PathExists(programs_ + "\\KvTest Tools\\First.lnk"));
    EXPECT_TRUE(kvtest::PathExists(programs_ + "\\KvTest Tools\\Second.lnk"));
    ToolkitRemoveShellLink("KvTest Tools", "Second");
    EXPECT_FALSE(kvtest::PathExists(programs_ + "\\KvTest Tools"));

    // The empty folder name is the Programs folder itself.
    ToolkitCreateShellLink("", "KvTest Root", target_, "");
    EXPECT_TRUE(ReadLink(programs_ + "\\KvTest Root.lnk").loaded);
    ToolkitRemoveShellLink("", "KvTest Root");
    EXPECT_FALSE(kvtest::PathExists(programs_ + "\\KvTest Root.lnk"));
    EXPECT_TRUE(kvtest::PathExists(programs_));
}

TEST_F(ShortcutTest, RemovalWithEmptyOrEscapingNamesTouchesNothing) {
    ToolkitCreateShellLink("", "KvTest Sentinel", target_, "");
    std::string startMenu = programs_.substr(0, programs_.find_last_of('\\'));
    std::string outside = startMenu + "\\KvTest Outside.lnk";
    ASSERT_TRUE(CopyFileA((programs_ + "\\KvTest Sentinel.lnk").c_str(), outside.c_str(), FALSE));

    ToolkitRemoveShellLink("", "");
    ToolkitRemoveShellLink("..", "KvTest Outside");
    ToolkitRemoveShellLink("", "..\\KvTest Outside");
    ToolkitRemoveShellLink("C:\\", "KvTest Sentinel");

    EXPECT_TRUE(kvtest::PathExists(programs_ + "\\KvTest Sentinel.lnk"));
    EXPECT_TRUE(kvtest::PathExists(outside));
    EXPECT_TRUE(kvtest::PathExists(programs_));
    DeleteFileA(outside.c_str());
}

// The current folder of the process, as the system reports it.
std::string CurrentFolder() {
    char path[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return std::string(path, length);
}

TEST(DriveTest, FreeSpaceOfTheCurrentDriveIsCappedAtTheLargestSignedNumber) {
    std::string folder = kvtest::FreshFolder("sys-drive");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    ULARGE_INTEGER available{}, total{}, totalFree{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));

    int32_t freeBytes = -5;
    ASSERT_TRUE(ToolkitDiskSpaceFree(freeBytes));
    EXPECT_GT(freeBytes, 0);
    if (available.QuadPart > static_cast<ULONGLONG>(INT32_MAX)) {
        EXPECT_EQ(freeBytes, INT32_MAX);
    }

    std::string text = DriveFreeSpace("c:\\some\\folder\\");
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text[0], ' ');
    EXPECT_EQ(text, " " + std::to_string(freeBytes));
    EXPECT_EQ(CurrentFolder(), folder.substr(0, folder.size() - 1));
}

TEST(DriveTest, AMissingDriveHasUnknownFreeSpaceAndTheCurrentFolderStays) {
    std::string folder = kvtest::FreshFolder("sys-drive");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    std::string missing;
    for (char letter = 'Q'; letter <= 'Y' && missing.empty(); ++letter)
        if (GetDriveTypeA((std::string(1, letter) + ":\\").c_str()) == DRIVE_NO_ROOT_DIR)
            missing = {letter, ':', '\\'};
    ASSERT_FALSE(missing.empty());

    EXPECT_EQ(DriveFreeSpace(missing + "Program Files\\"), "unknown");
    EXPECT_EQ(DriveFreeSpace(""), "unknown");
    EXPECT_EQ(DriveFreeSpace("\\\\server\\share\\"), "unknown");
    EXPECT_EQ(CurrentFolder(), folder.substr(0, folder.size() - 1));
}

TEST(DriveTest, ListDrivesOfTypeAppendsMatchingRootsInLetterOrder) {
    std::vector<std::string> drives{"kept"};
    int16_t fixed = ListDrivesOfType(DRIVE_FIXED, drives);
    ASSERT_GE(fixed, 1);
    ASSERT_EQ(drives.size(), static_cast<size_t>(fixed) + 1);
    EXPECT_EQ(drives[0], "kept");
    EXPECT_EQ(drives[1], "C:\\");
    for (size_t i = 1; i < drives.size(); ++i) {
        EXPECT_EQ(DriveType(drives[i]), static_cast<unsigned>(DRIVE_FIXED));
        if (i > 1) {
            EXPECT_LT(drives[i - 1], drives[i]);
        }
    }

    // A kind no drive has: none found, the list untouched.
    std::vector<std::string> none{"a", "b"};
    EXPECT_EQ(ListDrivesOfType(DRIVE_RAMDISK, none), 0);
    EXPECT_EQ(none, (std::vector<std::string>{"a", "b"}));
}

class FolderTest : public ::testing::Test {
  protected:
    static constexpr const char* kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    void TearDown() override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "KvTestBlank");
            RegDeleteValueA(key, "KvTestPadded");
            RegCloseKey(key);
        }
    }
};

TEST_F(FolderTest, WindowsAndSystemFoldersHaveNoTrailingBackslash) {
    std::string windows = GetWindowsFolder();
    std::string system = GetSystemFolder();
    EXPECT_STRCASEEQ(windows.c_str(), "C:\\windows");
    EXPECT_STRCASEEQ(system.c_str(), "C:\\windows\\system32");
    EXPECT_EQ(SystemFolderSource().WindowsFolder(), windows);
    EXPECT_EQ(SystemFolderSource().SystemFolder(), system);
}

TEST_F(FolderTest, CurrentVersionValuesFallBackWhenMissingOrBlank) {
    CreateRegKey(RegHKeyLocalMachine, kKey);
    SetRegValue(RegHKeyLocalMachine, kKey, "KvTestBlank", "   ", 1);
    SetRegValue(RegHKeyLocalMachine, kKey, "KvTestPadded", "  D:\\Apps  ", 1);

    EXPECT_EQ(GetCurrentVersionValue("KvTestMissing", "C:\\Program Files"), "C:\\Program Files");
    EXPECT_EQ(GetCurrentVersionValue("KvTestBlank", "C:\\Program Files"), "C:\\Program Files");
    EXPECT_EQ(GetCurrentVersionValue("KvTestPadded", "x"), "D:\\Apps  ");
    EXPECT_STRCASEEQ(GetCurrentVersionValue("ProgramFilesDir", "x").c_str(), "C:\\Program Files");

    // The macros' source hands the value out trimmed, and empty when missing.
    EXPECT_EQ(SystemFolderSource().CurrentVersionValue("KvTestPadded"), "D:\\Apps");
    EXPECT_EQ(SystemFolderSource().CurrentVersionValue("KvTestBlank"), "");
    EXPECT_EQ(SystemFolderSource().CurrentVersionValue("KvTestMissing"), "");
}

} // namespace
