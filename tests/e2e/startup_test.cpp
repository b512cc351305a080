// Start-up: the run mode from the script and the command words, the second copy, quiet mode.
#include "driver/setup_run.h"

namespace e2e {
namespace {

class StartupTest : public SetupRun {
  protected:
    // Whether the splash window (the top-level window showing the program's name) is there.
    bool SplashShown() {
        for (HWND hwnd : TopWindows(Pid()))
            if (FindControl(hwnd, "KavexInstall", "Static")) return true;
        return false;
    }
    // Starts the program and waits for its wizard, noting whether the splash came first.
    bool StartSeeingSplash(const std::string& arguments) {
        Start(arguments);
        bool splashSeen = false;
        WaitFor(
            [&] {
                splashSeen = splashSeen || SplashShown();
                return FindWindowOf(Pid(), "Setup Wizard") != nullptr;
            },
            15000);
        return splashSeen;
    }
};

TEST_F(StartupTest, InstalledScriptStartsTheUninstallerInAnyLetterCase) {
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool", "InstallState=INSTALLED",
                 "[uninstall]", "destpath=C:\\kvtest\\nothing\\"});
    Start();
    auto box = WaitMessageBox(Pid(), 15000);
    ASSERT_TRUE(box) << "no confirmation question";
    EXPECT_EQ(box->title, "Acme Setup");
    EXPECT_EQ(box->text, "Are you sure you want to remove Acme Tool from your computer!?");
    // The progress window lies centred in the main window while the question shows.
    HWND progress = FindWindowOf(Pid(), "Acme Setup", "KvMdiChild");
    ASSERT_TRUE(progress);
    EXPECT_TRUE(HasText(ShownTexts(progress), "Please wait..."));
    EXPECT_TRUE(HasText(ShownTexts(progress), "Removal in progress"));
    RECT outer = ScreenRect(WaitMainWindow()), inner = ClientScreenRect(GetParent(progress)),
         own = ScreenRect(progress);
    EXPECT_NEAR(own.left - inner.left, ((outer.right - outer.left) - (own.right - own.left)) / 2, 2);
    EXPECT_NEAR(own.top - inner.top, ((outer.bottom - outer.top) - (own.bottom - own.top)) / 2, 2);
    EXPECT_FALSE(FindWindowOf(Pid(), "Setup Wizard"));
    Shot("uninstall-question");
    ASSERT_TRUE(AnswerMessageBox(*box, "&No"));
    EXPECT_TRUE(WaitExit());
}

TEST_F(StartupTest, UninstalledScriptWithoutTheWordStartsTheWizard) {
    // Words are split at blanks only: "quiet,uninstall" is neither word.
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool", "InstallState=uninstalled"});
    EXPECT_TRUE(StartSeeingSplash("quiet,uninstall"));
    ASSERT_TRUE(WaitWizard());
    EXPECT_TRUE(IsZoomed(WaitMainWindow()));
    EXPECT_FALSE(FindMessageBox(Pid()));
    StopAll();
}

TEST_F(StartupTest, QuietWordInCapitalsSkipsSplashBackdropAndMaximizing) {
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool", "SetupColor=&H8000000F",
                 "DrawGradient=1", "GradientRed=255"});
    EXPECT_FALSE(StartSeeingSplash("QUIET"));
    ASSERT_TRUE(WaitWizard());
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    EXPECT_FALSE(IsZoomed(main));
    EXPECT_EQ(TextOf(main), "Acme Setup");
    EXPECT_FALSE(FindControl(main, "Setup", "KvForm")) << "no backdrop in quiet mode";
    // The main window shows its own background colour: the system's button face.
    RECT inner = ClientScreenRect(main);
    EXPECT_TRUE(ShowsColour(inner.right - 20, inner.bottom - 20, GetSysColor(COLOR_BTNFACE)));
    Shot("quiet-main-window");
    StopAll();
}

TEST_F(StartupTest, SecondCopyIsRefusedUnlessToldToIgnoreIt) {
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool"});
    Start();
    ASSERT_TRUE(WaitWizard(15000));
    Start();
    auto box = WaitMessageBox(Pid(), 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "KavexInstall Setup");
    EXPECT_EQ(box->text, "KavexInstaller is already running.");
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(box->hasIcon);
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    EXPECT_TRUE(WaitExit());
    EXPECT_FALSE(FindWindowOf(Pid(), "Setup Wizard"));

    Start("ignoreprev");
    EXPECT_TRUE(WaitWizard(15000)) << "the copy started with ignoreprev shows its wizard";
    EXPECT_FALSE(FindMessageBox(Pid()));
    StopAll();
}

} // namespace
} // namespace e2e
