// The start-up's command words and folder, the wizard's free-space texts, the gradient's
// colours, and the forms layer: modal forms, key preview and the copy screen's progress.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/progress.h"
#include "script/globals.h"
#include "startup/main.h"
#include "windows/forms.h"
#include "windows/mother_form.h"
#include "wizard/wiz_form.h"
#include "wizard/wizard.h"

namespace {

TEST(CommandWords, PiecesSplitAtSingleBlanksAndCompareWithoutCase) {
    EXPECT_TRUE(ArgumentsHaveWord("QUIET", "quiet"));
    EXPECT_TRUE(ArgumentsHaveWord("uninstall quiet ignoreprev", "ignoreprev"));
    EXPECT_TRUE(ArgumentsHaveWord("uninstall  Quiet", "quiet")); // two blanks give an empty piece between
    EXPECT_FALSE(ArgumentsHaveWord("quiet,uninstall", "quiet"));
    EXPECT_FALSE(ArgumentsHaveWord("quiet,uninstall", "uninstall"));
    EXPECT_FALSE(ArgumentsHaveWord("quietly", "quiet"));
    EXPECT_FALSE(ArgumentsHaveWord("quiet\tuninstall", "uninstall"));
    EXPECT_FALSE(ArgumentsHaveWord("", "quiet"));
}

TEST(CommandWords, ArgumentsFollowTheProgramName) {
    EXPECT_EQ(CommandArguments("\"C:\\Program Files\\Acme\\Setup\\setup.exe\" uninstall quiet"),
              "uninstall quiet");
    EXPECT_EQ(CommandArguments("C:\\Acme\\Setup\\setup.exe uninstall"), "uninstall");
    EXPECT_EQ(CommandArguments("setup.exe   quiet"), "quiet");
    EXPECT_EQ(CommandArguments("setup.exe"), "");
    EXPECT_EQ(CommandArguments("\"setup.exe\""), "");
}

TEST(ProgramFolder, EndsInOneBackslash) {
    EXPECT_EQ(ProgramFolderOf("C:\\setup.exe"), "C:\\");
    EXPECT_EQ(ProgramFolderOf("C:\\Disk1\\setup.exe"), "C:\\Disk1\\");
    EXPECT_EQ(ProgramFolderOf("\\\\server\\share\\setup.exe"), "\\\\server\\share\\");
}

TEST(FreeSpaceTexts, WholeMegabytesAndTheDriveInCapitals) {
    EXPECT_EQ(FreeSpaceLabel(" 52428800", "c:\\tools\\"), "50MB of free space on drive C:");
    EXPECT_EQ(FreeSpaceLabel(" 2147483647", "D:\\Acme\\"), "2047MB of free space on drive D:");
    EXPECT_EQ(FreeSpaceLabel(" 1048575", "e:\\"), "0MB of free space on drive E:");
    EXPECT_EQ(FreeSpaceLabel("unknown", "q:\\acme\\"), "");
}

TEST(FreeSpaceTexts, WarningWhenTheEstimateReachesTheFreeSpace) {
    const std::string tail =
        "MB of free space available on the destination drive! Acme may occupy up to an estimated ";
    const std::string end =
        "MB.\r\n\r\nPress the 'Back' button in the Setup Wizard window to set a new destination.";
    EXPECT_EQ(DiskSpaceWarning(" 4718592", "5", "Acme"), "There is only  4.5" + tail + "5" + end);
    // Exactly as much free as estimated still warns; the estimate is shown as written.
    EXPECT_EQ(DiskSpaceWarning(" 5242880", "5.0", "Acme"), "There is only  5" + tail + "5.0" + end);
    EXPECT_EQ(DiskSpaceWarning("unknown", "1", "Acme"), "There is only  0" + tail + "1" + end);
    EXPECT_EQ(DiskSpaceWarning(" 5242881", "5", "Acme"), "");
    EXPECT_EQ(DiskSpaceWarning(" 0", "0", "Acme"), "");
    EXPECT_EQ(DiskSpaceWarning(" 0", "", "Acme"), "");
    EXPECT_EQ(DiskSpaceWarning(" 0", "-3", "Acme"), "");
}

TEST(Gradient, ComponentsCountDownFromTheirCappedStart) {
    auto bands = GradientBands(300, 100, 255);
    EXPECT_EQ(bands[0], RGB(255, 100, 255));
    EXPECT_EQ(bands[45], RGB(255, 55, 210)); // red 255 counts as full strength
    EXPECT_EQ(bands[46], RGB(254, 54, 209));
    EXPECT_EQ(bands[99], RGB(201, 1, 156));
    EXPECT_EQ(bands[100], RGB(200, 0, 155));
    EXPECT_EQ(bands[255], RGB(45, 0, 0));
    auto negative = GradientBands(-5, 0, 3);
    EXPECT_EQ(negative[0], RGB(0, 0, 3));
    EXPECT_EQ(negative[3], RGB(0, 0, 0));
}

// A small modal form whose button unloads it, noting whether the main window was
// disabled meanwhile.
class ProbeForm : public Form {
  public:
    ProbeForm() : Form(FormKind::TopLevel) {}
    Button OkButton;
    Panel Box;
    Label Inner;
    bool mainWasEnabled = true;

  protected:
    void CreateControls() override {
        AddControl(Box, nullptr, 0, 0, 3000, 1500);
        AddControl(Inner, &Box, 120, 120, 2000, 255, "inside the panel");
        AddControl(OkButton, nullptr, 120, 1600, 1215, 375, "&OK");
        OkButton.Click = [this] {
            mainWasEnabled = IsWindowEnabled(MotherForm.Handle()) != FALSE;
            Unload();
        };
    }
};

class WindowsLayer : public ::testing::Test {
  protected:
    void SetUp() override { SetMainForm(&MotherForm); }
    void TearDown() override {
        SetProgressHook(nullptr);
        WizForm.Unload();
        MotherForm.Unload();
    }
};

TEST_F(WindowsLayer, ModalFormDisablesTheMainWindowUntilItIsUnloaded) {
    MotherForm.Show();
    ProbeForm probe;
    probe.Load();
    ASSERT_TRUE(probe.Loaded());
    EXPECT_EQ(GetParent(probe.Inner.Handle()), probe.Box.Handle());
    EXPECT_EQ(probe.Inner.Caption(), "inside the panel");
    // Alt and the underlined letter press the button.
    PostMessageA(probe.OkButton.Handle(), WM_SYSCHAR, 'o', 1 << 29);
    probe.ShowModal();
    EXPECT_FALSE(probe.Loaded());
    EXPECT_EQ(probe.OkButton.Handle(), nullptr);
    EXPECT_FALSE(probe.mainWasEnabled);
    EXPECT_TRUE(IsWindowEnabled(MotherForm.Handle()));
    // A control's settings made while its form is not loaded are kept for the next load.
    probe.Load();
    EXPECT_EQ(probe.OkButton.Caption(), "&OK");
    probe.Unload();
}

TEST_F(WindowsLayer, WizardSeesALowerCaseXTypedIntoAnyOfItsControls) {
    WizForm.Load();
    ASSERT_TRUE(MotherForm.Loaded()) << "the wizard opens the main window";
    SearchCancelled = false;
    PostMessageA(WizForm.NextButton.Handle(), WM_CHAR, 'X', 1);
    PostMessageA(WizForm.Label3[0].Handle(), WM_CHAR, 'q', 1);
    DoEvents();
    EXPECT_FALSE(SearchCancelled);
    PostMessageA(WizForm.NextButton.Handle(), WM_CHAR, 'x', 1);
    DoEvents();
    EXPECT_TRUE(SearchCancelled);
    SearchCancelled = false;
    // Tab moves on among the buttons, past the hidden panels' controls.
    WizForm.Show();
    WizForm.NextButton.SetFocus();
    ASSERT_EQ(GetFocus(), WizForm.NextButton.Handle());
    PostMessageA(WizForm.NextButton.Handle(), WM_KEYDOWN, VK_TAB, 1);
    DoEvents();
    EXPECT_EQ(GetFocus(), WizForm.CancelButton.Handle());
}

TEST_F(WindowsLayer, CopyScreenShowsTheActionAndSlidesTheBarIn) {
    WizForm.Load();
    const int width = WizForm.Picture1.Width();
    ShowProgress(25, 100, "Copying: C:\\Acme\\tool.exe");
    EXPECT_EQ(WizForm.Text1.Caption(), "Copying: C:\\Acme\\tool.exe");
    EXPECT_NEAR(WizForm.Shape1.Left(), -(75 * width) / 100, 15);
    RECT bar;
    GetWindowRect(WizForm.Shape1.Handle(), &bar);
    RECT box;
    GetClientRect(WizForm.Picture1.Handle(), &box);
    MapWindowPoints(WizForm.Picture1.Handle(), nullptr, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_NEAR(bar.right - box.left, (box.right - box.left) / 4, 2) << "a quarter of the box is filled";
    ShowProgress(3, 3, "Deleting: C:\\Acme\\old.txt");
    EXPECT_EQ(WizForm.Shape1.Left(), 0);
    // With no total the bar stays where it was.
    ShowProgress(0, 0, "Removing previous installation...");
    EXPECT_EQ(WizForm.Text1.Caption(), "Removing previous installation...");
    EXPECT_EQ(WizForm.Shape1.Left(), 0);
    // A hook sees the progress instead of the screen.
    std::string seen;
    SetProgressHook([&](int, int, const std::string& text) { seen = text; });
    ShowProgress(1, 2, "Moving: C:\\Acme\\a.txt");
    EXPECT_EQ(seen, "Moving: C:\\Acme\\a.txt");
    EXPECT_EQ(WizForm.Text1.Caption(), "Removing previous installation...");
}

} // namespace
