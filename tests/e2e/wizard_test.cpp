// The main window and the wizard's screens with the license and the search off, a whole
// installation through the wizard, then removed by the command it registered, and the same run
// unattended, as deployment tools run it, read back by its exit codes and its log.
#include <filesystem>
#include <fstream>
#include <set>

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
// the wizard, the Setup folder, the records and the uninstall entry name the folder made. Then
// the same unattended, into that folder quoted, with a log in a folder that is not there yet:
// no window, and the same files, keys and entry; the entry's quiet command removes it.
TEST_F(WizardTest, WalkInstallStartTheProgramTheRegisteredCommandRemovesItThenUnattendedAndQuiet) {
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
    const std::vector<std::string> keys{"HKLM\\" + uninstallKey,
                                        "HKLM\\SOFTWARE\\Kavex Software\\Acme Wizard"};
    const std::string byTheWizard = WhatWasLeft(dest, keys);
    EXPECT_TRUE(std::filesystem::is_regular_file(dest + "readme.txt"));
    const std::string command = dest + "Setup\\setup.exe uninstall",
                      quiet = "\"" + dest + "Setup\\setup.exe\" uninstall quiet";
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

    const std::string log = "C:\\kvtest\\e2e install\\logs\\acme.log";
    EXPECT_EQ(RunWatched("\"" + dist_ + "setup.exe\" unattended log=\"" + log + "\" dest=\"" + dest + "\""),
              0u);
    for (const std::string& line :
         {"destination: " + dest,
          std::string("message box \"Acme Setup\", answered Yes: Start the editor now?"),
          std::string("not started (unattended): C:\\windows\\\\notepad.exe")})
        EXPECT_TRUE(Logged(log, line)) << line << " in\n" << ReadAll(log);
    EXPECT_EQ(WhatWasLeft(dest, keys), byTheWizard);
    // The quiet command as a deployment tool runs it; a second run finds nothing to remove.
    EXPECT_EQ(RunWatched(quiet), 0u);
    EXPECT_FALSE(std::filesystem::is_regular_file(dest + "readme.txt"));
    EXPECT_EQ(RunWatched(quiet), 1605u);
    EXPECT_EQ(seen_, std::set<std::string>{}) << "windows of the unattended runs";
}

// Unattended: refused beside another copy (which holds the program's mutex, as a running copy
// does), then with a source file missing and a license that cannot be shown.
TEST_F(WizardTest, UnattendedRefusedBesideAnotherCopyThenAFailedCopyNamedInTheLog) {
    const std::string dest = "C:\\kvtest\\deploy fail\\", log = dest + "logs\\setup.log";
    CleanUpFolder(dest);
    WriteScript({"[install]", "ProgramName=Acme", "DisplayLicense=1", "LicenseFile=license.txt",
                 "TotalFiles=1", "srcfile1=missing.txt", "destfile1=missing.txt", "DefaultDir=" + dest});
    const std::string command = "\"" + dist_ + "setup.exe\" unattended \"log=" + log + "\"";
    HANDLE running = CreateMutexA(nullptr, FALSE, "KavexInstall.Setup.Running");
    EXPECT_EQ(RunWatched(command), 1618u);
    CloseHandle(running);
    EXPECT_EQ(RunWatched(command), 1603u);
    EXPECT_EQ(seen_, std::set<std::string>{}) << "windows of the unattended runs";
    // The refused run wrote nothing else; the log names the failed copy.
    for (const std::string& line :
         {std::string("refused: another copy of the program is running\r\n==== KavexInstall "),
          "license accepted by the unattended command line, not shown: " + dist_ + "license.txt",
          "message box \"KavexInstall Setup\", answered OK: The file " + dest +
              "missing.txt could not be copied. Make sure that this file is not currently in use by Windows "
              "and that there is sufficient room on the destination drive. File Copy Error: &H",
          std::string("message box \"KavexInstall Setup\", answered OK: There were some errors during "
                      "installation. You may have to reinstall Acme at a later date.")})
        EXPECT_TRUE(Logged(log, line)) << line << " in\n" << ReadAll(log);
}

} // namespace
} // namespace e2e
