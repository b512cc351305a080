// The main window and the wizard's screens with the license and the search off, a whole
// installation through the wizard, then removed by the command it registered, and the same run
// unattended, as deployment tools run it, read back by its exit codes and its log.
#include <filesystem>
#include <fstream>

#include "driver/setup_run.h"

namespace e2e {
namespace {

class WizardTest : public SetupRun {};

// D: is a drive of exactly 1.5 MB free that the test run mounts.
TEST_F(WizardTest, MainWindowLogoFromTheCurrentFolderCloseQuestionAndSmallDriveWarning) {
    // The logo is loaded relative to the current folder, not the setup program's folder.
    const std::string other = "C:\\kvtest\\dist\\" + testName_ + "-cwd\\";
    CleanUpFolder(other);
    CreateDirectoryA(other.c_str(), nullptr);
    std::ofstream(other + "logo.bmp", std::ios::binary)
        << MakeBmp(40, 30, std::vector<uint32_t>(40 * 30, 0x00A000));
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "SetupColor=255",
                 "LogoPic=logo.bmp", "DefaultDir=C:\\not this\\", "EstimatedSize=5"});
    StartCommand("\"" + dist_ + "setup.exe\" dest=d:\\Acme", other); // the wizard proposes dest=
    ASSERT_TRUE(wizard_ = WaitWizard());
    HWND main = WaitWindowOf(Pid(), "Acme Setup", "KvMdiFrame"),
         backdrop = FindControl(main, "Setup", "KvForm");
    ASSERT_TRUE(backdrop) << "no main window with its backdrop";
    const RECT back = ClientScreenRect(backdrop), inner = ClientScreenRect(GetParent(backdrop));
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_TRUE(EqualRect(&back, &inner)) << "the backdrop fills the main window";
    HWND logo = FindControl(main, "Logo", "KvForm");
    ASSERT_TRUE(IsShown(logo));
    const RECT rc = ScreenRect(logo), topRight{inner.right - 40, inner.top, inner.right, inner.top + 30};
    EXPECT_TRUE(EqualRect(&rc, &topRight)) << "the logo's own size, in the top right corner";
    EXPECT_TRUE(ShowsColour(inner.right - 20, inner.bottom - 20, RGB(255, 0, 0)));
    EXPECT_TRUE(ShowsColour(rc.left + 20, rc.top + 15, RGB(0, 160, 0)));
    Shot("red-with-logo");

    CloseBox(main);
    AnswerExitQuestion("&No"); // keeps the program

    ASSERT_NE(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "the test run mounts D:";
    Press("&Next >");
    EXPECT_TRUE(Shows("1MB of free space on drive D:"));
    Shot("small-drive");
    Press("&Next >");
    ExpectBox(
        "There is only  1.5MB of free space available on the destination drive! Acme may occupy up to an "
        "estimated 5MB.\r\n\r\nPress the 'Back' button in the Setup Wizard window to set a new destination.",
        "OK", {"OK"}, true);
    EXPECT_TRUE(Shows(kReady)); // the warning is advice only
    // Cancel asks the same as the close box, and Yes ends the program.
    Press("Cancel");
    AnswerExitQuestion("&Yes");
    EXPECT_EQ(WaitExit(), 1602u);
}

// The script's folder ends in a dot and a blank, which Windows drops when it makes the folder:
// the wizard, the Setup folder, the records and the uninstall entry name the folder made. (The
// unattended runs and their exit codes: tests/e2e/sample_unattended.sh.)
TEST_F(WizardTest, WalkInstallStartTheProgramAndTheRegisteredCommandRemovesIt) {
    const std::string dest = "C:\\kvtest\\e2e install\\Acme Wizard\\",
                      written = "C:\\kvtest\\e2e install\\Acme Wizard. .\\";
    const std::string uninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Wizard";
    CleanUpFolder("C:\\kvtest\\e2e install");
    CleanUpKey(HKEY_LOCAL_MACHINE, uninstallKey);
    CleanUpKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kavex Software\\Acme Wizard");
    WriteDistFile("readme.txt", "read me");
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Wizard",
                 "DefaultDir=" + written, "EstablishSetup=1", "TotalFiles=1", "srcfile1=readme.txt",
                 "destfile1=readme.txt", "LastExecsTotal=1", "LastExec1=%windows%\\notepad.exe",
                 "LastExecsPrompt=1", "LastExecsPromptMsg=Start the editor now?", "ProductVersion=2.1",
                 "ProgramAuthor=Acme Inc", "EstimatedSize=3"});
    EXPECT_TRUE(Shows("Acme Wizard")); // the title and its shadow
    EXPECT_TRUE(Shows(kWelcome));
    EXPECT_TRUE(
        Shows("IMPORTANT: It is highly recommended that you close all open windows before continuing. "
              "Files cannot be updated if they are currently being used. "));
    EXPECT_FALSE(IsEnabledWindow(WizardButton("< &Back")));
    for (const char* button : {"&Next >", "Cancel", "&About..."})
        EXPECT_TRUE(IsEnabledWindow(WizardButton(button)));
    Shot("welcome");
    Press("&Next >");
    for (const std::string& text : {kUpgrade, std::string("Acme will be installed here:"), dest})
        EXPECT_TRUE(Shows(text));
    EXPECT_FALSE(HasText(ShownTexts(wizard_), kWelcome));
    Shot("destination");
    // An estimate well below the free space: the ready screen comes without a warning.
    Press("&Next >");
    EXPECT_TRUE(Shows(kReady));
    EXPECT_FALSE(WizardButton("&Next >"));
    EXPECT_FALSE(FindMessageBox(Pid()));
    Shot("ready");
    Press("< &Back");
    EXPECT_TRUE(Shows(kUpgrade));
    Press("&Next >");
    Press("Finish");
    // The closing program asks first; the system's Notepad starts, and the program ends by itself.
    ExpectBox("Start the editor now?", "&Yes", {"&Yes", "&No"}, true);
    ASSERT_TRUE(WaitExit());
    // A program's window that the test closes again before the next scenario.
    const auto closeWindow = [this](const char* cls) {
        HWND hwnd = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (hwnd = FindWindowA(cls, nullptr)) != nullptr; }, 15000))
            << "no " << cls;
        Shot(cls);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(hwnd); }, 15000)) << cls << " stayed open";
    };
    closeWindow("Notepad");
    const std::string byTheWizard = ExportedKeys({"HKLM\\" + uninstallKey});
    EXPECT_TRUE(std::filesystem::is_regular_file(dest + "readme.txt"));
    const std::string command = dest + "Setup\\setup.exe uninstall";
    // What the list of installed programs shows beside the name, as the registry exports it.
    for (const std::string& value : std::initializer_list<std::string>{
             "\"DisplayName\"=\"Acme Wizard\"", "\"UninstallString\"=\"" + command + "\"",
             "\"DisplayVersion\"=\"2.1\"", "\"Publisher\"=\"Acme Inc\"",
             "\"InstallLocation\"=\"" + dest + "\"", "\"DisplayIcon\"=\"" + dest + "Setup\\setup.exe\"",
             "\"QuietUninstallString\"=\"\\\"" + dest + "Setup\\setup.exe\\\" uninstall quiet\"",
             "\"EstimatedSize\"=dword:00000c00", "\"NoModify\"=dword:00000001",
             "\"NoRepair\"=dword:00000001"})
        EXPECT_NE(byTheWizard.find("\n" + value + "\r\n"), std::string::npos)
            << value << " in " << byTheWizard;

    // The list of installed programs runs the command line as it stands, unquoted.
    StartCommand(command, "C:\\");
    ExpectBox("Are you sure you want to remove Acme Wizard from your computer!?", "&Yes");
    ExpectBox("Acme Wizard has been successfully uninstalled.\r\rHowever, Setup will not delete the folder "
              "in which Acme Wizard was located in because there are files still left in it. Setup will "
              "open an Explorer window focused on the folder so that you may delete it.",
              "OK");
    EXPECT_TRUE(WaitExit());
    EXPECT_FALSE(std::filesystem::is_regular_file(dest + "readme.txt"));
    HKEY gone = nullptr;
    for (const std::string& key : {uninstallKey, std::string("SOFTWARE\\Kavex Software\\Acme Wizard")})
        EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &gone), ERROR_SUCCESS) << key;

    closeWindow("ExplorerWClass"); // Explorer, opened on the folder that is left
}

} // namespace
} // namespace e2e
