// A whole installation through the wizard, then its removal through the command that the
// installation registered in the list of installed programs.
#include <set>

#include "driver/setup_run.h"

namespace e2e {
namespace {

const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Wizard";

class InstallThroughWizard : public SetupRun {
  protected:
    void Press(const std::string& caption) {
        HWND button = nullptr;
        WaitFor([&] { return (button = WizardButton(caption)) && IsEnabledWindow(button); });
        ASSERT_TRUE(button && IsEnabledWindow(button)) << caption;
        Click(button);
    }
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
        PostMessageA(explorer, WM_CLOSE, 0, 0);
    }
}

} // namespace
} // namespace e2e
