// The wizard's free-space texts, the backdrop's gradient colours and the copy screen.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/session.h"
#include "system/windows_computer.h"
#include "engine_support.h"
#include "system/file_stamp.h"
#include "windows/long_work.h"
#include "windows/mother_form.h"
#include "wizard/wizard_ui.h"
#include "wizard/folder_chooser.h"
#include "wizard/wiz_form.h"
#include "wizard/wizard.h"

namespace {

TEST(FreeSpaceTexts, WholeMegabytesTheDriveInCapitalsAndTheWarning) {
    EXPECT_EQ(FreeSpaceLabel(52428800, "c:\\tools\\"), "50MB of free space on drive C:");
    EXPECT_EQ(FreeSpaceLabel(2147483647, "D:\\Acme\\"), "2047MB of free space on drive D:");
    EXPECT_EQ(FreeSpaceLabel(1048575, "e:\\"), "0MB of free space on drive E:");
    EXPECT_EQ(FreeSpaceLabel(std::nullopt, "q:\\acme\\"), "");
    // The folder chooser names the drive as its drive list shows it.
    EXPECT_EQ(FreeSpaceText(52428800, "c: [system]"), "50MB of free space on drive C: [SYSTEM]");
    // The warning's free megabytes keep their fraction and the number's leading blank (the wizard's test
    // shows the whole message box); exactly as much free as estimated still warns.
    EXPECT_EQ(DiskSpaceWarning(5242880, "5.0", "Acme"),
              "There is only  5MB of free space available on the destination drive! Acme may occupy up to "
              "an estimated 5.0MB.\r\n\r\nPress the 'Back' button in the Setup Wizard window to set a new "
              "destination.");
    EXPECT_EQ(DiskSpaceWarning(1000000, "1", "Acme").substr(0, 33), "There is only  0.95367431640625MB");
    EXPECT_EQ(DiskSpaceWarning(std::nullopt, "1", "Acme").substr(0, 18), "There is only  0MB");
    EXPECT_EQ(DiskSpaceWarning(5242881, "5", "Acme"), "");
    EXPECT_EQ(DiskSpaceWarning(0, "", "Acme"), "");
}

TEST(Gradient, ComponentsCountDownFromTheirCappedStart) {
    const auto bands = GradientBands(300, 100, 255);
    EXPECT_EQ(bands[0], RGB(255, 100, 255));
    EXPECT_EQ(bands[45], RGB(255, 55, 210)); // red 300 counts as full strength until it falls below
    EXPECT_EQ(bands[46], RGB(254, 54, 209));
    EXPECT_EQ(bands[100], RGB(200, 0, 155));
    EXPECT_EQ(bands[255], RGB(45, 0, 0));
    EXPECT_EQ(GradientBands(-5, 0, 3)[0], RGB(0, 0, 3));
}

// The sample product's backdrop, as its script paints it: full blue at the top, half blue
// at the middle, black at the bottom.
TEST(Gradient, TheSampleProductsBackdropFadesFromBlueToBlack) {
    WindowsComputer computer;
    SetupSession session;
    session.computer = &computer;
    session.sourceDir = kvtest::BinFolder() + "data\\sample\\";
    MotherForm.look = ReadMainWindowLook(session);
    SetMainForm(&MotherForm);
    MotherForm.Load();
    MotherForm.Maximize();
    MotherFormBack.Show();
    HDC canvas = MotherFormBack.Canvas();
    ASSERT_TRUE(canvas);
    const int height = MotherFormBack.CanvasHeight();
    EXPECT_EQ(GetPixel(canvas, 10, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(canvas, 10, height / 2 + 1), RGB(0, 0, 127)); // the 129th of 256 bands
    EXPECT_EQ(GetPixel(canvas, 10, height - 1), RGB(0, 0, 0));
    MotherForm.Unload();
}

TEST(CopyScreen, ShowsTheActionAndSlidesTheBarInFromLongWork) {
    WindowsComputer computer;
    SetupSession session; // no script: every key reads empty
    session.computer = &computer;
    MotherForm.look = ReadMainWindowLook(session);
    SetMainForm(&MotherForm);
    MotherForm.Show();
    WizForm.Load();
    ASSERT_TRUE(WizForm.Loaded());
    WizardUi().ShowProgress(25, 100, "Copying: C:\\Acme\\tool.exe");
    EXPECT_EQ(WizForm.Text1.Caption(), "Copying: C:\\Acme\\tool.exe");
    RECT bar, box;
    GetWindowRect(WizForm.Shape1.Handle(), &bar);
    GetClientRect(WizForm.Picture1.Handle(), &box);
    MapWindowPoints(WizForm.Picture1.Handle(), nullptr, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_NEAR(bar.right - box.left, (box.right - box.left) / 4, 2) << "a quarter of the box is filled";
    WizardUi().ShowProgress(3, 3, "Deleting: C:\\Acme\\old.txt");
    EXPECT_EQ(WizForm.Shape1.Left(), 0);
    // With no total the bar stays where it was.
    WizardUi().ShowProgress(0, 0, "Removing previous installation...");
    EXPECT_EQ(WizForm.Text1.Caption(), "Removing previous installation...");
    EXPECT_EQ(WizForm.Shape1.Left(), 0);

    // Long work runs on a worker; what it shows is shown by the window thread, which goes on
    // answering meanwhile and drops a close request of the main window. Pictures are paced: a
    // state that comes right after one painted is painted a little later, by itself.
    MotherForm.CloseRequested = [] { return true; };
    WizardUi wizardUi;
    WindowThreadUi ui(wizardUi);
    const DWORD windowThread = GetCurrentThreadId();
    DWORD workThread = 0, askThread = 0;
    auto caption = [&] {
        std::string text;
        OnWindowThread([&] { text = WizForm.Text1.Caption(), askThread = GetCurrentThreadId(); });
        return text;
    };
    RunLongWork([&] {
        workThread = GetCurrentThreadId();
        ui.ShowProgress(1, 3, "Copying: C:\\Acme\\small.txt"); // the first: shown before the worker goes on
        EXPECT_EQ(caption(), "Copying: C:\\Acme\\small.txt");
        ui.ShowProgress(2, 3, "Copying: C:\\Acme\\large.bin"); // too soon: shown while the worker is busy
        for (ULONGLONG end = GetTickCount64() + 5000; caption() != "Copying: C:\\Acme\\large.bin";)
            ASSERT_LT(GetTickCount64(), end) << "the state that came too soon was never shown";
        SendMessageA(MotherForm.Handle(), WM_CLOSE, 0, 0);
        ui.ShowProgress(2, 3, "Copying: C:\\Acme\\a.txt");
        ui.ShowProgress(3, 3, "Copying: C:\\Acme\\b.txt"); // a list's end: always shown
        EXPECT_EQ(caption(), "Copying: C:\\Acme\\b.txt");
    });
    EXPECT_NE(workThread, windowThread);
    EXPECT_EQ(askThread, windowThread);
    EXPECT_TRUE(MotherForm.Loaded()) << "a close request during long work is dropped";
    EXPECT_THROW(RunLongWork([] { throw std::runtime_error("failed"); }), std::runtime_error);
    WizForm.Unload();
    MotherForm.CloseRequested = nullptr;
    MotherForm.Unload();
}

} // namespace
