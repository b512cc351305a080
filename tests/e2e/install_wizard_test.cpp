// A whole installation through the wizard, then its removal through the command that the
// installation registered in the list of installed programs.
#include <set>

#include "driver/setup_run.h"

namespace e2e {
namespace {

const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Wizard";

class InstallThroughWizard : public SetupRun {
  protected:
    static std::string RegText(const std::string& key, const std::string& name) {
        char data[1024] = {};
        DWORD size = sizeof data;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size))
            return "<missing>";
        return data;
    }
    static std::set<HWND> VisibleTopWindows() {
        std::set<HWND> windows;
        EnumWindows(
            [](HWND hwnd, LPARAM list) {
                if (IsWindowVisible(hwnd)) reinterpret_cast<std::set<HWND>*>(list)->insert(hwnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&windows));
        return windows;
    }
    // Closes an Explorer window and waits until it has gone, so that the next scenario
    // starts without it.
    static void CloseExplorer(HWND explorer) {
        PostMessageA(explorer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(explorer); }, 15000)) << "Explorer stayed open";
    }
    static bool IsFile(const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
};

TEST_F(InstallThroughWizard, FinishInstallsAndTheRegisteredCommandRemovesIt) {
    const std::string dest = "C:\\kvtest\\e2e install\\Acme Wizard\\";
    RemoveTree("C:\\kvtest\\e2e install");
    WriteDistFile("readme.txt", "read me");
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Wizard",
                 "DefaultDir=" + dest, "EstablishSetup=1", "TotalFiles=1", "srcfile1=readme.txt",
                 "destfile1=readme.txt"});
    Press("&Next >");
    Press("&Next >");
    Press("Finish");
    ASSERT_TRUE(WaitExit());
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
    EXPECT_TRUE(IsFile(dest + "Setup\\setup.exe"));
    const std::string command = RegText(kUninstallKey, "UninstallString");
    ASSERT_EQ(command, dest + "Setup\\setup.exe uninstall");

    // The list of installed programs runs the command line as it stands, unquoted.
    const std::set<HWND> before = VisibleTopWindows();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = command;
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup,
                               &process));
    auto box = WaitMessageBox(process.dwProcessId, 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Are you sure you want to remove Acme Wizard from your computer!?");
    ASSERT_TRUE(AnswerMessageBox(*box, "&Yes"));
    box = WaitMessageBox(process.dwProcessId, 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Acme Setup");
    EXPECT_EQ(box->text.rfind("Acme Wizard has been successfully uninstalled.\r\rHowever", 0), 0u)
        << box->text;
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);

    EXPECT_FALSE(IsFile(dest + "readme.txt"));
    EXPECT_EQ(RegText(kUninstallKey, "UninstallString"), "<missing>");
    EXPECT_EQ(RegText("SOFTWARE\\Kavex Software\\Acme Wizard", ""), "<missing>");
    // Explorer opens on the folder that is left; the test closes it again.
    HWND explorer = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        for (HWND hwnd : VisibleTopWindows())
            if (!before.count(hwnd)) explorer = hwnd;
        return explorer != nullptr;
    }));
    if (explorer) {
        Shot("explorer");
        CloseExplorer(explorer);
    }
}

// A component registered by the regsvr32.exe that ships beside setup.exe, then the
// uninstaller started with the word "uninstall" from the distribution folder, whose
// script has no [uninstall] records: it removes the script's registry keys and the
// product's two keys, deletes no file, and marks that script uninstalled.
TEST_F(InstallThroughWizard, ComponentRegistersAndTheUninstallWordWorksWithoutRecords) {
    const std::string dest = "C:\\kvtest\\e2e component\\";
    const std::string clsid = "CLSID\\{6B1D4E2A-3C5F-4A7B-9D8E-1F2A3B4C5D6E}";
    RemoveTree("C:\\kvtest\\e2e component");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, clsid.c_str());
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::string bin = own;
    bin.erase(bin.find_last_of('\\') + 1);
    ASSERT_TRUE(CopyFileA((bin + "kvcomponent.dll").c_str(), (Dist() + "kvcomponent.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\regsvr32.exe", (Dist() + "regsvr32.exe").c_str(), FALSE));
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Component",
                 "DefaultDir=" + dest, "TotalOcxs=1", "OcxSrc1=kvcomponent.dll", "OcxDest1=kvcomponent.dll",
                 "TotalRegKeys=1", "RegKeyRoot1=&H80000001",
                 "RegKeySubKey1=Software\\KvE2E\\Component\\Options", "RegKeyValueName1=Folder",
                 "RegKeyValue1=bin\\", "RegKeyValueIsPath1=1",
                 "RegKeyUninstall1=Software\\KvE2E\\Component"});
    Press("&Next >");
    Press("&Next >");
    Press("Finish");
    ASSERT_TRUE(WaitExit());
    EXPECT_TRUE(IsFile(dest + "kvcomponent.dll"));
    // The registration runs on its own, not waited for: wait for the key it writes.
    std::string server;
    EXPECT_TRUE(WaitFor(
        [&] {
            char data[MAX_PATH] = {};
            DWORD size = sizeof data;
            if (RegGetValueA(HKEY_CLASSES_ROOT, (clsid + "\\InprocServer32").c_str(), "", RRF_RT_REG_SZ,
                             nullptr, data, &size))
                return false;
            server = data;
            return true;
        },
        15000));
    char longServer[MAX_PATH] = {};
    GetLongPathNameA(server.c_str(), longServer, MAX_PATH);
    EXPECT_EQ(_stricmp(longServer, (dest + "kvcomponent.dll").c_str()), 0) << server;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KvE2E\\Component\\Options", 0, KEY_READ, &key), 0);
    RegCloseKey(key);

    // The product's keys as an earlier installation would have left them.
    const std::string productKey = "SOFTWARE\\Kavex Software\\Acme Component";
    const std::string uninstallKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Component";
    for (const std::string& path : {productKey, uninstallKey}) {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  0);
        RegCloseKey(key);
    }
    const std::set<HWND> before = VisibleTopWindows();
    Start("uninstall");
    auto box = WaitMessageBox(Pid(), 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Are you sure you want to remove Acme Component from your computer!?");
    ASSERT_TRUE(AnswerMessageBox(*box, "&Yes"));
    box = WaitMessageBox(Pid(), 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text.rfind("Acme Component has been successfully uninstalled.\r\r", 0), 0u) << box->text;
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    ASSERT_TRUE(WaitExit());

    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KvE2E\\Component", 0, KEY_READ, &key), 0);
    EXPECT_EQ(RegText(productKey, ""), "<missing>");
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstallKey.c_str(), 0, KEY_READ, &key), 0);
    // Nothing was recorded, so no file goes; components are never unregistered.
    EXPECT_TRUE(IsFile(dest + "kvcomponent.dll"));
    EXPECT_TRUE(IsFile(Dist() + "kvcomponent.dll"));
    char state[64] = {};
    GetPrivateProfileStringA("install", "installstate", "", state, sizeof state,
                             (Dist() + "setup.ini").c_str());
    EXPECT_STREQ(state, "uninstalled");
    // Explorer opens (on an empty folder); close it again.
    HWND explorer = nullptr;
    WaitFor([&] {
        for (HWND hwnd : VisibleTopWindows())
            if (!before.count(hwnd)) explorer = hwnd;
        return explorer != nullptr;
    });
    if (explorer) CloseExplorer(explorer);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, clsid.c_str());
}

} // namespace
} // namespace e2e
