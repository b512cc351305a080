// A whole installation through the wizard, then its removal through the command that the
// installation registered in the list of installed programs; and a component registered by
// the regsvr32 beside setup.exe, then removed by the uninstall word without records.
#include <set>

#include "driver/setup_run.h"

namespace e2e {
namespace {

const std::string kProductKey = "SOFTWARE\\Kavex Software\\";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kClsid = "CLSID\\{6B1D4E2A-3C5F-4A7B-9D8E-1F2A3B4C5D6E}";

class InstallThroughWizard : public SetupRun {
  protected:
    static std::string RegText(HKEY root, const std::string& key, const std::string& name) {
        char data[1024] = {};
        DWORD size = sizeof data;
        if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size))
            return "<missing>";
        return data;
    }
    static bool IsFile(const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    static std::set<HWND> VisibleTopWindows() {
        std::set<HWND> windows;
        for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT))
            if (IsWindowVisible(hwnd)) windows.insert(hwnd);
        return windows;
    }
    // Waits for the Explorer window that the uninstaller opens on the folder left, and
    // closes it again so that the next scenario starts without it.
    void CloseNewExplorer(const std::set<HWND>& before, bool required = true) {
        HWND explorer = nullptr;
        const bool opened = WaitFor([&] {
            for (HWND hwnd : VisibleTopWindows())
                if (!before.count(hwnd)) explorer = hwnd;
            return explorer != nullptr;
        });
        ASSERT_TRUE(opened || !required) << "no Explorer window";
        if (!opened) return;
        Shot("explorer");
        PostMessageA(explorer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(explorer); }, 15000)) << "Explorer stayed open";
    }
    void InstallThroughTheWizard(const std::vector<std::string>& script, const std::string& product) {
        CleanUpKey(HKEY_LOCAL_MACHINE, kProductKey + product);
        CleanUpKey(HKEY_LOCAL_MACHINE, kUninstallKey + product);
        StartWizard(script);
        Press("&Next >");
        Press("&Next >");
        Press("Finish");
        ASSERT_TRUE(WaitExit());
    }
};

TEST_F(InstallThroughWizard, FinishInstallsAndTheRegisteredCommandRemovesIt) {
    const std::string dest = "C:\\kvtest\\e2e install\\Acme Wizard\\";
    CleanUpFolder("C:\\kvtest\\e2e install");
    WriteDistFile("readme.txt", "read me");
    InstallThroughTheWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme",
                             "ProductName=Acme Wizard", "DefaultDir=" + dest, "EstablishSetup=1",
                             "TotalFiles=1", "srcfile1=readme.txt", "destfile1=readme.txt"},
                            "Acme Wizard");
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
    EXPECT_TRUE(IsFile(dest + "Setup\\setup.exe"));
    std::string command = RegText(HKEY_LOCAL_MACHINE, kUninstallKey + "Acme Wizard", "UninstallString");
    ASSERT_EQ(command, dest + "Setup\\setup.exe uninstall");

    // The list of installed programs runs the command line as it stands, unquoted.
    const std::set<HWND> before = VisibleTopWindows();
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup,
                               &process));
    ExpectMessage("Are you sure you want to remove Acme Wizard from your computer!?", "&Yes",
                  process.dwProcessId);
    ExpectMessage(
        "Acme Wizard has been successfully uninstalled.\r\rHowever, Setup will not delete the folder in "
        "which Acme Wizard was located in because there are files still left in it. Setup will open "
        "an Explorer window focused on the folder so that you may delete it.",
        "OK", process.dwProcessId);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_FALSE(IsFile(dest + "readme.txt"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey + "Acme Wizard", "UninstallString"), "<missing>");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kProductKey + "Acme Wizard", ""), "<missing>");
    CloseNewExplorer(before);
}

TEST_F(InstallThroughWizard, ComponentRegistersAndTheUninstallWordWorksWithoutRecords) {
    const std::string dest = "C:\\kvtest\\e2e component\\";
    CleanUpFolder(dest);
    CleanUpKey(HKEY_CLASSES_ROOT, kClsid);
    CleanUpKey(HKEY_CURRENT_USER, "Software\\KvE2E");
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::string bin = own;
    bin.erase(bin.find_last_of('\\') + 1);
    ASSERT_TRUE(CopyFileA((bin + "kvcomponent.dll").c_str(), (Dist() + "kvcomponent.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\regsvr32.exe", (Dist() + "regsvr32.exe").c_str(), FALSE));
    InstallThroughTheWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme",
                             "ProductName=Acme Component", "DefaultDir=" + dest, "TotalOcxs=1",
                             "OcxSrc1=kvcomponent.dll", "OcxDest1=kvcomponent.dll", "TotalRegKeys=1",
                             "RegKeyRoot1=&H80000001", "RegKeySubKey1=Software\\KvE2E\\Component\\Options",
                             "RegKeyValueName1=Folder", "RegKeyValue1=bin\\", "RegKeyValueIsPath1=1",
                             "RegKeyUninstall1=Software\\KvE2E\\Component"},
                            "Acme Component");
    EXPECT_TRUE(IsFile(dest + "kvcomponent.dll"));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\KvE2E\\Component\\Options", "Folder"), dest + "bin\\");
    // The registration runs on its own, not waited for: wait for the key it writes.
    std::string server;
    EXPECT_TRUE(WaitFor(
        [&] { return (server = RegText(HKEY_CLASSES_ROOT, kClsid + "\\InprocServer32", "")) != "<missing>"; },
        15000));
    char longServer[MAX_PATH] = {};
    GetLongPathNameA(server.c_str(), longServer, MAX_PATH);
    EXPECT_EQ(_stricmp(longServer, (dest + "kvcomponent.dll").c_str()), 0) << server;

    // The product's keys as an earlier installation would have left them.
    for (const std::string& key : {kProductKey + "Acme Component", kUninstallKey + "Acme Component"})
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, "x", 2);
    const std::set<HWND> before = VisibleTopWindows();
    Start("uninstall");
    ExpectMessage("Are you sure you want to remove Acme Component from your computer!?", "&Yes");
    auto box = WaitMessageBox(Pid(), 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text.rfind("Acme Component has been successfully uninstalled.\r\r", 0), 0u) << box->text;
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    ASSERT_TRUE(WaitExit());
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\KvE2E\\Component\\Options", "Folder"), "<missing>");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kProductKey + "Acme Component", ""), "<missing>");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey + "Acme Component", ""), "<missing>");
    // Nothing was recorded, so no file goes; components are never unregistered.
    EXPECT_TRUE(IsFile(dest + "kvcomponent.dll"));
    EXPECT_TRUE(IsFile(Dist() + "kvcomponent.dll"));
    char state[64] = {};
    GetPrivateProfileStringA("install", "installstate", "", state, sizeof state,
                             (Dist() + "setup.ini").c_str());
    EXPECT_STREQ(state, "uninstalled");
    CloseNewExplorer(before,
                     false); // with no destination recorded, what Explorer shows is the system's choice
}

} // namespace
} // namespace e2e
