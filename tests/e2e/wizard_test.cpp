// The wizard's screens with the license and the search off: texts, buttons, the free
// space, the disk-space warning, Cancel and the about box.
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
    EXPECT_TRUE(Shows("Change..."));
    EXPECT_FALSE(HasText(ShownTexts(wizard_), kWelcome));
    Shot("destination");

    Press("< &Back");
    EXPECT_TRUE(Shows(kWelcome));
    EXPECT_TRUE(WaitFor([&] { return !IsEnabledWindow(WizardButton("< &Back")); }));
    Press("&Next >");
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

TEST_F(WizardTest, CancelAsksAndOnlyYesEndsTheProgram) {
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme"});
    Press("Cancel");
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_TRUE(IsExitQuestion(*box, "Acme Setup"));
    Shot("cancel-question");
    ASSERT_TRUE(AnswerMessageBox(*box, "&No"));
    // No keeps the wizard: Cancel asks again, and Yes ends the program.
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
    for (const char* text :
         {"KavexInstall 1.7.0", "Acme Tool 2.5", "by Acme Corp", "Tools for every workshop."})
        EXPECT_TRUE(Shows(text, kDefaultTimeoutMs, about));
    // Modal and centred on the screen.
    EXPECT_FALSE(IsEnabledWindow(WaitMainWindow()));
    RECT rc = ScreenRect(about);
    EXPECT_NEAR(rc.left, (GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2, 2);
    EXPECT_NEAR(rc.top, (GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2, 2);
    Shot("about");
    Click(FindControl(about, "OK", "Button"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about) && IsEnabledWindow(WaitMainWindow()); }));
    StopAll();
}

} // namespace
} // namespace e2e
