// Start-up: the run mode from the script and the command words, the second copy, quiet mode.
#include "driver/setup_run.h"

namespace e2e {
namespace {

class StartupTest : public SetupRun {};

// Whether a window of the process is the splash window (the top-level window showing
// the program's name).
bool SplashShown(DWORD pid) {
    for (HWND hwnd : TopWindows(pid))
        if (FindControl(hwnd, "KavexInstall", "Static")) return true;
    return false;
}

TEST_F(StartupTest, InstalledScriptStartsTheUninstallerInAnyLetterCase) {
    for (const char* state : {"INSTALLED", "installed"}) {
        WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool",
                     std::string("InstallState=") + state, "[uninstall]", "destpath=C:\\kvtest\\nothing\\"});
        Start();
        auto box = WaitMessageBox(Pid(), 15000);
        ASSERT_TRUE(box) << state << ": no confirmation question";
        EXPECT_EQ(box->title, "Acme Setup");
        EXPECT_EQ(box->text, "Are you sure you want to remove Acme Tool from your computer!?");
        // The progress window lies centred in the main window while the question shows.
        HWND progress = FindWindowOf(Pid(), "Acme Setup", "KvMdiChild");
        ASSERT_TRUE(progress) << state;
        EXPECT_TRUE(HasText(ShownTexts(progress), "Please wait..."));
        EXPECT_TRUE(HasText(ShownTexts(progress), "Removal in progress"));
        HWND main = WaitMainWindow();
        RECT outer = ScreenRect(main), inner = ClientScreenRect(GetParent(progress)),
             own = ScreenRect(progress);
        EXPECT_NEAR(own.left - inner.left, ((outer.right - outer.left) - (own.right - own.left)) / 2, 2);
        EXPECT_NEAR(own.top - inner.top, ((outer.bottom - outer.top) - (own.bottom - own.top)) / 2, 2);
        EXPECT_FALSE(FindWindowOf(Pid(), "Setup Wizard"));
        Shot(std::string("uninstall-question-") + state);
        ASSERT_TRUE(AnswerMessageBox(*box, "&No"));
        EXPECT_TRUE(WaitExit());
    }
}

TEST_F(StartupTest, UninstallWordStartsTheUninstallerOfAnUninstalledScript) {
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool", "InstallState=uninstalled"});
    Start("Uninstall");
    auto box = WaitMessageBox(Pid(), 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Are you sure you want to remove Acme Tool from your computer!?");
    ASSERT_TRUE(AnswerMessageBox(*box, "&No"));
    EXPECT_TRUE(WaitExit());
}

TEST_F(StartupTest, UninstalledScriptWithoutTheWordStartsTheWizard) {
    // Words are split at blanks only: "quiet,uninstall" is neither word.
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool", "InstallState=uninstalled"});
    Start("quiet,uninstall");
    bool splashSeen = false;
    HWND wizard = nullptr;
    WaitFor([&] {
        if (!splashSeen && SplashShown(Pid())) {
            splashSeen = true;
            Shot("splash");
        }
        return (wizard = FindWindowOf(Pid(), "Setup Wizard")) != nullptr;
    });
    ASSERT_TRUE(wizard);
    EXPECT_TRUE(splashSeen);
    HWND main = WaitMainWindow();
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_FALSE(FindMessageBox(Pid()));
    StopAll();
}

TEST_F(StartupTest, QuietWordInCapitalsSkipsSplashBackdropAndMaximizing) {
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool", "SetupColor=&H8000000F",
                 "DrawGradient=1", "GradientRed=255"});
    Start("QUIET");
    bool splashSeen = false;
    WaitFor([&] {
        splashSeen = splashSeen || SplashShown(Pid());
        return FindWindowOf(Pid(), "Setup Wizard") != nullptr;
    });
    ASSERT_TRUE(WaitWizard());
    EXPECT_FALSE(splashSeen);
    HWND main = WaitMainWindow();
    ASSERT_TRUE(main);
    EXPECT_FALSE(IsZoomed(main));
    EXPECT_EQ(TextOf(main), "Acme Setup");
    EXPECT_FALSE(FindControl(main, "Setup", "KvForm")) << "no backdrop in quiet mode";
    // The main window shows its own background colour: the system's button face.
    ScreenImage shot = Shot("quiet-main-window");
    RECT inner = ClientScreenRect(main);
    COLORREF seen = shot.At(inner.right - 20, inner.bottom - 20);
    EXPECT_EQ(seen, GetSysColor(COLOR_BTNFACE)) << ColourText(seen);
    StopAll();
}

TEST_F(StartupTest, SecondCopyIsRefusedUnlessToldToIgnoreIt) {
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProductName=Acme Tool"});
    Start();
    const DWORD first = Pid();
    ASSERT_TRUE(WaitWizard(15000));

    Start();
    auto box = WaitMessageBox(Pid(), 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "KavexInstall Setup");
    EXPECT_EQ(box->text, "KavexInstaller is already running.");
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(box->hasIcon);
    Shot("already-running");
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    EXPECT_TRUE(WaitExit());
    EXPECT_FALSE(FindWindowOf(Pid(), "Setup Wizard"));

    Start("ignoreprev");
    EXPECT_NE(Pid(), first);
    EXPECT_TRUE(WaitWizard(15000)) << "the copy started with ignoreprev shows its wizard";
    EXPECT_FALSE(FindMessageBox(Pid()));
    StopAll();
}

} // namespace
} // namespace e2e
