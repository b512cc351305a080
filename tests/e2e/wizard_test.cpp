// The wizard's screens with the license and the search off: texts, buttons, the free
// space, the disk-space warning, Cancel and the about box.
#include <cstdio>

#include "driver/setup_run.h"

namespace e2e {
namespace {

class WizardTest : public SetupRun {};

const char* const kWelcome = "This setup program will install Acme on your computer.";
const char* const kImportant = "IMPORTANT: It is highly recommended that you close all open windows before "
                               "continuing. Files cannot be updated if they are currently being used. ";
const char* const kUpgrade = "If you are upgrading from a previous version of Acme make sure to specify the "
                             "same folder as the older version.";
const char* const kReady = "Setup is ready to install Acme. Press Finish to continue.";

// What the destination screen shows for the free space of a drive: whole megabytes of
// what the toolkit can report.
std::string FreeSpaceLabelOf(const std::string& root, const std::string& drive) {
    return std::to_string(ToolkitFreeBytes(root) / 1024 / 1024) + "MB of free space on drive " + drive;
}

// The free megabytes as the warning writes them: a blank, then up to 15 significant digits.
std::string WarningMegabytes(long long bytes) {
    char text[64];
    std::snprintf(text, sizeof(text), " %.15g", static_cast<double>(bytes) / 1024 / 1024);
    return text;
}

std::string Warning(const std::string& megabytes, const std::string& estimate) {
    return "There is only " + megabytes +
           "MB of free space available on the destination drive! Acme may occupy "
           "up to an estimated " +
           estimate +
           "MB.\r\n\r\nPress the 'Back' button in the Setup Wizard window to set "
           "a new destination.";
}

TEST_F(WizardTest, NextAndBackWalkTheScreensAndFinishEndsTheProgram) {
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool", "ProgramName=Acme",
                 "DefaultDir=C:\\kvtest\\Acme Tool\\"});
    EXPECT_TRUE(Shows("Acme Tool")); // the title and its shadow
    EXPECT_TRUE(Shows(kWelcome));
    EXPECT_TRUE(Shows(kImportant));
    EXPECT_FALSE(IsEnabledWindow(WizardButton("< &Back")));
    EXPECT_TRUE(IsEnabledWindow(WizardButton("&Next >")));
    EXPECT_TRUE(IsEnabledWindow(WizardButton("Cancel")));
    EXPECT_TRUE(IsEnabledWindow(WizardButton("&About...")));
    Shot("welcome");

    Press("&Next >");
    EXPECT_TRUE(Shows(kUpgrade));
    EXPECT_TRUE(Shows("Acme will be installed here:"));
    EXPECT_TRUE(Shows("C:\\kvtest\\Acme Tool\\"));
    EXPECT_TRUE(Shows(FreeSpaceLabelOf("C:\\", "C:")));
    EXPECT_TRUE(Shows("Change..."));
    EXPECT_FALSE(HasText(ShownTexts(wizard_), kWelcome));
    EXPECT_TRUE(IsEnabledWindow(WizardButton("< &Back")));
    Shot("destination");

    Press("< &Back");
    EXPECT_TRUE(Shows(kWelcome));
    EXPECT_TRUE(WaitFor([&] { return !IsEnabledWindow(WizardButton("< &Back")); }));
    Press("&Next >");
    EXPECT_TRUE(Shows(kUpgrade));

    // No estimate: the ready screen comes without a warning.
    Press("&Next >");
    EXPECT_TRUE(Shows(kReady));
    EXPECT_TRUE(WizardButton("Finish"));
    EXPECT_FALSE(WizardButton("&Next >"));
    EXPECT_FALSE(FindMessageBox(Pid()));
    Shot("ready");

    Press("< &Back");
    EXPECT_TRUE(Shows(kUpgrade));
    EXPECT_TRUE(WizardButton("&Next >"));
    Press("&Next >");
    EXPECT_TRUE(Shows(kReady));
    Press("Finish");
    EXPECT_TRUE(WaitExit());
}

TEST_F(WizardTest, FreeSpaceOfTheDestinationDriveAndTheWarningWhenTheEstimateIsLarger) {
    // The drive is named in capitals whatever the script's case.
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "DefaultDir=c:\\kvtest\\acme\\",
                 "EstimatedSize=5000"});
    Press("&Next >");
    EXPECT_TRUE(Shows(FreeSpaceLabelOf("C:\\", "C:")));
    Press("&Next >");
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Acme Setup");
    EXPECT_EQ(box->text, Warning(WarningMegabytes(ToolkitFreeBytes("C:\\")), "5000"));
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(box->hasIcon);
    Shot("disk-space-warning");
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    // Advice only: the ready screen follows.
    EXPECT_TRUE(Shows(kReady));
    EXPECT_TRUE(WizardButton("Finish"));
    StopAll();
}

TEST_F(WizardTest, SmallDriveWarningWritesTheFractionAfterTwoBlanks) {
    UINT type = GetDriveTypeA("D:\\");
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN)
        GTEST_SKIP() << "no small drive D: on this machine";
    const long long freeBytes = ToolkitFreeBytes("D:\\");
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "DefaultDir=D:\\Acme\\",
                 "EstimatedSize=5"});
    Press("&Next >");
    EXPECT_TRUE(Shows(FreeSpaceLabelOf("D:\\", "D:")));
    Shot("small-drive");
    Press("&Next >");
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, Warning(WarningMegabytes(freeBytes), "5"));
    if (freeBytes == 1572864) {
        EXPECT_NE(box->text.find("There is only  1.5MB of free"), std::string::npos);
    }
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    StopAll();
}

TEST_F(WizardTest, DriveThatDoesNotExistShowsNoFreeSpaceAndAlwaysWarns) {
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "DefaultDir=Q:\\Acme\\",
                 "EstimatedSize=1"});
    Press("&Next >");
    EXPECT_TRUE(Shows("Q:\\Acme\\"));
    for (const auto& text : ShownTexts(wizard_))
        EXPECT_EQ(text.find("MB of free space"), std::string::npos) << text;
    Press("&Next >");
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, Warning(" 0", "1"));
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    StopAll();
}

TEST_F(WizardTest, CancelAsksAndOnlyYesEndsTheProgram) {
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme"});
    Press("Cancel");
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_TRUE(IsExitQuestion(*box, "Acme Setup"));
    Shot("cancel-question");
    ASSERT_TRUE(AnswerMessageBox(*box, "&No"));
    Sleep(300);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(Shows(kWelcome));

    Press("Cancel");
    box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    ASSERT_TRUE(AnswerMessageBox(*box, "&Yes"));
    EXPECT_TRUE(WaitExit());
}

TEST_F(WizardTest, AboutBoxNamesTheProgramAndTheProduct) {
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Tool",
                 "ProductVersion=2.5", "ProgramAuthor=Acme Corp", "ProgramInfo=Tools for every workshop."});
    Press("&About...");
    HWND about = WaitWindowOf(Pid(), "About Setup");
    ASSERT_TRUE(about);
    EXPECT_TRUE(WaitShownText(about, "KavexInstall 1.7.0"));
    EXPECT_TRUE(HasText(ShownTexts(about), "Acme Tool 2.5"));
    EXPECT_TRUE(HasText(ShownTexts(about), "by Acme Corp"));
    EXPECT_TRUE(HasText(ShownTexts(about), "Tools for every workshop."));
    // Modal and centred on the screen.
    EXPECT_FALSE(IsEnabledWindow(WaitMainWindow()));
    RECT rc = ScreenRect(about);
    EXPECT_NEAR(rc.left, (GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2, 2);
    EXPECT_NEAR(rc.top, (GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2, 2);
    Shot("about");
    Click(FindControl(about, "OK", "Button"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(WaitFor([&] { return IsEnabledWindow(WaitMainWindow()); }));

    // The script is read again each time: without a version the product line ends in a blank.
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Tool"});
    Press("&About...");
    about = WaitWindowOf(Pid(), "About Setup");
    ASSERT_TRUE(about);
    EXPECT_TRUE(WaitShownText(about, "Acme Tool "));
    EXPECT_TRUE(HasText(ShownTexts(about), "by "));
    CloseBox(about);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(Running());
    StopAll();
}

} // namespace
} // namespace e2e
