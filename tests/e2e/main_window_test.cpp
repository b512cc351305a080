// The main window: caption, background colour, gradient, tiled picture, logo and the
// close box's question.
#include <fstream>

#include "driver/setup_run.h"

namespace e2e {
namespace {

class MainWindowTest : public SetupRun {
  protected:
    HWND main_ = nullptr, backdrop_ = nullptr;
    RECT back_{}; // the backdrop's client area on the screen

    void StartMain(const std::vector<std::string>& script, const std::string& folder = "") {
        WriteScript(script);
        Start("", folder);
        ASSERT_TRUE(WaitWizard(15000));
        main_ = WaitMainWindow();
        ASSERT_TRUE(main_);
        backdrop_ = FindControl(main_, "Setup", "KvForm");
        ASSERT_TRUE(backdrop_) << "no backdrop";
        back_ = ClientScreenRect(backdrop_);
    }
};

TEST_F(MainWindowTest, CaptionColourLogoFromTheCurrentFolderAndTheCloseQuestion) {
    // The logo is loaded relative to the current folder, not the setup program's folder.
    const std::string other = "C:\\kvtest\\dist\\" + testName_ + "-cwd\\";
    CleanUpFolder(other);
    CreateDirectoryA(other.c_str(), nullptr);
    std::ofstream(other + "logo.bmp", std::ios::binary)
        << MakeBmp(40, 30, [](int, int) { return RGB(0, 160, 0); });
    StartMain({"[install]", "SetupTitle=Acme Setup", "SetupColor=255", "LogoPic=logo.bmp"}, other);
    EXPECT_EQ(TextOf(main_), "Acme Setup");
    EXPECT_TRUE(IsZoomed(main_));
    RECT inner = ClientScreenRect(GetParent(backdrop_));
    EXPECT_TRUE(EqualRect(&back_, &inner)) << "the backdrop fills the main window";
    HWND logo = FindControl(main_, "Logo", "KvForm");
    ASSERT_TRUE(IsShown(logo));
    RECT rc = ScreenRect(logo);
    EXPECT_EQ(rc.right - rc.left, 40);
    EXPECT_EQ(rc.bottom - rc.top, 30);
    EXPECT_EQ(rc.right, inner.right);
    EXPECT_EQ(rc.top, inner.top);
    EXPECT_TRUE(ShowsColour(inner.right - 20, inner.bottom - 20, RGB(255, 0, 0)));
    EXPECT_TRUE(ShowsColour(rc.left + 20, rc.top + 15, RGB(0, 160, 0)));
    Shot("red-with-logo");

    CloseBox(main_);
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_TRUE(IsExitQuestion(*box, "Acme Setup"));
    ASSERT_TRUE(AnswerMessageBox(*box, "&No"));
    // No keeps the program: the close box asks again, and Yes ends it.
    CloseBox(main_);
    box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    ASSERT_TRUE(AnswerMessageBox(*box, "&Yes"));
    EXPECT_TRUE(WaitExit());
}

TEST_F(MainWindowTest, GradientRunsFromTheTopColourToTheBottomOne) {
    StartMain(
        {"[install]", "SetupTitle=Acme Setup", "DrawGradient=1", "GradientRed=300", "GradientBlue=255"});
    // Red starts at 300 and counts as full strength; the last of 256 bands is 255 darker.
    EXPECT_TRUE(ShowsColour(back_.right - 30, back_.top, RGB(255, 0, 255)));
    EXPECT_TRUE(ShowsColour(back_.right - 30, back_.bottom - 1, RGB(45, 0, 0)));
    Shot("gradient");
    StopAll();
}

TEST_F(MainWindowTest, TilePictureRepeatsFromTheTopLeftCorner) {
    // A 16 × 16 tile: red with a blue top-left pixel.
    WriteDistFile("tile.bmp",
                  MakeBmp(16, 16, [](int x, int y) { return x || y ? RGB(255, 0, 0) : RGB(0, 0, 255); }));
    StartMain({"[install]", "SetupTitle=Acme Setup", "SetupColor=65280", "TilePic=tile.bmp"});
    const int lastTile = (back_.right - back_.left - 1) / 16 * 16;
    for (POINT p : {POINT{0, 0}, POINT{16, 0}, POINT{0, 16}, POINT{lastTile, 32}})
        EXPECT_TRUE(ShowsColour(back_.left + p.x, back_.top + p.y, RGB(0, 0, 255)));
    for (POINT p : {POINT{1, 0}, POINT{15, 15}, POINT{back_.right - back_.left - 1, 33}})
        EXPECT_TRUE(ShowsColour(back_.left + p.x, back_.top + p.y, RGB(255, 0, 0)));
    Shot("tiles");
    StopAll();
}

} // namespace
} // namespace e2e
