// The main window and the wizard's screens with the license and the search off: texts,
// buttons, the free space, the disk-space warning, Cancel, and a whole installation through
// the wizard, then its removal through the command that it registered in the list of
// installed programs.
#include <algorithm>
#include <fstream>

#include "driver/setup_run.h"

namespace e2e {
namespace {

class WizardTest : public SetupRun {};

const char* const kWelcome = "This setup program will install Acme on your computer.";
const char* const kUpgrade = "If you are upgrading from a previous version of Acme make sure to specify the "
                             "same folder as the older version.";
const char* const kReady = "Setup is ready to install Acme. Press Finish to continue.";

TEST_F(WizardTest, NextAndBackWalkTheScreensAndFinishEndsTheProgram) {
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool", "ProgramName=Acme",
                 "DefaultDir=C:\\kvtest\\Acme Tool\\"});
    EXPECT_TRUE(Shows("Acme Tool")); // the title and its shadow
    EXPECT_TRUE(Shows(kWelcome));
    EXPECT_TRUE(
        Shows("IMPORTANT: It is highly recommended that you close all open windows before continuing. "
              "Files cannot be updated if they are currently being used. "));
    EXPECT_FALSE(IsEnabledWindow(WizardButton("< &Back")));
    for (const char* button : {"&Next >", "Cancel", "&About..."})
        EXPECT_TRUE(IsEnabledWindow(WizardButton(button)));
    Shot("welcome");

    Press("&Next >");
    EXPECT_TRUE(Shows(kUpgrade));
    EXPECT_TRUE(Shows("Acme will be installed here:"));
    EXPECT_TRUE(Shows("C:\\kvtest\\Acme Tool\\"));
    EXPECT_FALSE(HasText(ShownTexts(wizard_), kWelcome));
    Shot("destination");

    // No estimate: the ready screen comes without a warning.
    Press("&Next >");
    EXPECT_TRUE(Shows(kReady));
    EXPECT_FALSE(WizardButton("&Next >"));
    EXPECT_FALSE(FindMessageBox(Pid()));
    Shot("ready");
    Press("< &Back");
    EXPECT_TRUE(Shows(kUpgrade));
    Press("&Next >");
    Press("Finish");
    EXPECT_TRUE(WaitExit());
}

// D: is a drive of exactly 1.5 MB free that the test run mounts for this case.
TEST_F(WizardTest, SmallDriveShowsItsFreeSpaceAndWarnsWithTheFraction) {
    ASSERT_NE(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "the test run mounts D:";
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "DefaultDir=d:\\Acme\\",
                 "EstimatedSize=5"});
    Press("&Next >");
    EXPECT_TRUE(Shows("1MB of free space on drive D:"));
    Shot("small-drive");
    Press("&Next >");
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Acme Setup");
    EXPECT_EQ(box->text,
              "There is only  1.5MB of free space available on the destination drive! Acme may occupy "
              "up to an estimated 5MB.\r\n\r\nPress the 'Back' button in the Setup Wizard window to "
              "set a new destination.");
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(box->hasIcon);
    Shot("disk-space-warning");
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    // Advice only: the ready screen follows.
    EXPECT_TRUE(Shows(kReady));
    StopAll();
}

TEST_F(WizardTest, MainWindowCaptionColourLogoFromTheCurrentFolderAndTheCloseQuestion) {
    // The logo is loaded relative to the current folder, not the setup program's folder.
    const std::string other = "C:\\kvtest\\dist\\" + testName_ + "-cwd\\";
    CleanUpFolder(other);
    CreateDirectoryA(other.c_str(), nullptr);
    std::ofstream(other + "logo.bmp", std::ios::binary)
        << MakeBmp(40, 30, [](int, int) { return RGB(0, 160, 0); });
    WriteScript({"[install]", "SetupTitle=Acme Setup", "SetupColor=255", "LogoPic=logo.bmp"});
    Start("", other);
    ASSERT_TRUE(WaitWizard());
    HWND main = WaitMainWindow(), backdrop = FindControl(main, "Setup", "KvForm");
    ASSERT_TRUE(backdrop) << "no backdrop";
    RECT back = ClientScreenRect(backdrop);
    EXPECT_EQ(TextOf(main), "Acme Setup");
    EXPECT_TRUE(IsZoomed(main));
    RECT inner = ClientScreenRect(GetParent(backdrop));
    EXPECT_TRUE(EqualRect(&back, &inner)) << "the backdrop fills the main window";
    HWND logo = FindControl(main, "Logo", "KvForm");
    ASSERT_TRUE(IsShown(logo));
    RECT rc = ScreenRect(logo);
    EXPECT_EQ(rc.right - rc.left, 40);
    EXPECT_EQ(rc.bottom - rc.top, 30);
    EXPECT_EQ(rc.right, inner.right);
    EXPECT_EQ(rc.top, inner.top);
    EXPECT_TRUE(ShowsColour(inner.right - 20, inner.bottom - 20, RGB(255, 0, 0)));
    EXPECT_TRUE(ShowsColour(rc.left + 20, rc.top + 15, RGB(0, 160, 0)));
    Shot("red-with-logo");

    CloseBox(main);
    AnswerExitQuestion("&No");
    // No keeps the program; Cancel asks the same, and Yes ends it.
    Press("Cancel");
    AnswerExitQuestion("&Yes");
    EXPECT_TRUE(WaitExit());
}

std::string RegText(const std::string& key, const std::string& name) {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size))
        return "<missing>";
    return data;
}
bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(WizardTest, FinishInstallsAndTheRegisteredCommandRemovesIt) {
    const std::string dest = "C:\\kvtest\\e2e install\\Acme Wizard\\";
    const std::string uninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Wizard";
    CleanUpFolder("C:\\kvtest\\e2e install");
    CleanUpKey(HKEY_LOCAL_MACHINE, uninstallKey);
    CleanUpKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kavex Software\\Acme Wizard");
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
    std::string command = RegText(uninstallKey, "UninstallString");
    ASSERT_EQ(command, dest + "Setup\\setup.exe uninstall");

    // The list of installed programs runs the command line as it stands, unquoted.
    const auto before = TopWindows(0);
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup,
                               &process));
    ExpectMessage("Are you sure you want to remove Acme Wizard from your computer!?", "&Yes",
                  process.dwProcessId);
    ExpectMessage(
        "Acme Wizard has been successfully uninstalled.\r\rHowever, Setup will not delete the folder "
        "in which Acme Wizard was located in because there are files still left in it. Setup will "
        "open an Explorer window focused on the folder so that you may delete it.",
        "OK", process.dwProcessId);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_FALSE(IsFile(dest + "readme.txt"));
    EXPECT_EQ(RegText(uninstallKey, "UninstallString"), "<missing>");
    EXPECT_EQ(RegText("SOFTWARE\\Kavex Software\\Acme Wizard", ""), "<missing>");

    // Explorer opens on the folder that is left; it is closed again before the next scenario.
    HWND explorer = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND hwnd : TopWindows(0))
            if (std::find(before.begin(), before.end(), hwnd) == before.end()) explorer = hwnd;
        return explorer != nullptr;
    }));
    Shot("explorer");
    PostMessageA(explorer, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(explorer); }, 15000)) << "Explorer stayed open";
}

} // namespace
} // namespace e2e
