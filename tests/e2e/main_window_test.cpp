// The main window: caption, background colour, gradient, tiled picture, logo and the
// close box's question.
#include <cstdio>

#include "driver/setup_run.h"

namespace e2e {
namespace {

class MainWindowTest : public SetupRun {
  protected:
    HWND main_ = nullptr;
    HWND backdrop_ = nullptr;

    void StartMain(const std::vector<std::string>& script, const std::string& folder = "") {
        WriteScript(script);
        Start("", folder);
        ASSERT_TRUE(WaitWizard(15000));
        main_ = WaitMainWindow();
        ASSERT_TRUE(main_);
        backdrop_ = FindControl(main_, "Setup", "KvForm");
        ASSERT_TRUE(backdrop_) << "no backdrop";
    }
};

COLORREF Green(int, int) {
    return RGB(0, 160, 0);
}
// A 16 × 16 tile: red with a blue top-left pixel.
COLORREF Tile(int x, int y) {
    return x == 0 && y == 0 ? RGB(0, 0, 255) : RGB(255, 0, 0);
}

TEST_F(MainWindowTest, CaptionColourAndLogoFromTheCurrentFolder) {
    // The logo is loaded relative to the current folder, not the setup program's folder.
    const std::string other = "C:\\kvtest\\dist\\" + testName_ + "-cwd";
    RemoveTree(other);
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    FILE* file = std::fopen((other + "\\logo.bmp").c_str(), "wb");
    ASSERT_TRUE(file);
    std::string bmp = MakeBmp(40, 30, Green);
    std::fwrite(bmp.data(), 1, bmp.size(), file);
    std::fclose(file);
    StartMain({"[install]", "SetupTitle=Acme Setup", "SetupColor=255", "LogoPic=logo.bmp"}, other);
    EXPECT_EQ(TextOf(main_), "Acme Setup");
    EXPECT_TRUE(IsZoomed(main_));

    RECT inner = ClientScreenRect(GetParent(backdrop_));
    RECT back = ClientScreenRect(backdrop_);
    EXPECT_EQ(back.left, inner.left);
    EXPECT_EQ(back.top, inner.top);
    EXPECT_EQ(back.right, inner.right);
    EXPECT_EQ(back.bottom, inner.bottom);

    HWND logo = FindControl(main_, "Logo", "KvForm");
    ASSERT_TRUE(logo);
    EXPECT_TRUE(IsShown(logo));
    RECT rc = ScreenRect(logo);
    EXPECT_EQ(rc.right - rc.left, 40);
    EXPECT_EQ(rc.bottom - rc.top, 30);
    EXPECT_EQ(rc.right, inner.right);
    EXPECT_EQ(rc.top, inner.top);

    ScreenImage shot = Shot("red-with-logo");
    COLORREF backColour = shot.At(inner.right - 20, inner.bottom - 20);
    EXPECT_EQ(backColour, RGB(255, 0, 0)) << ColourText(backColour);
    COLORREF logoColour = shot.At(rc.left + 20, rc.top + 15);
    EXPECT_EQ(logoColour, RGB(0, 160, 0)) << ColourText(logoColour);
    StopAll();
}

TEST_F(MainWindowTest, GradientRunsDownInTwoHundredFiftySixBands) {
    StartMain(
        {"[install]", "SetupTitle=Acme Setup", "DrawGradient=1", "GradientRed=300", "GradientBlue=255"});
    ScreenImage shot = Shot("gradient");
    RECT back = ClientScreenRect(backdrop_);
    const int height = back.bottom - back.top;
    const int x = back.right - 30; // right of the wizard
    auto bandColour = [&](int band) { return shot.At(x, back.top + (2 * band + 1) * height / 512); };
    // Red starts at 300 and counts as 255 until it falls below; blue falls from 255 to 0.
    struct Expected {
        int band, red, blue;
    } expected[] = {{0, 255, 255},   {45, 255, 210}, {46, 254, 209},
                    {100, 200, 155}, {254, 46, 1},   {255, 45, 0}};
    for (const auto& e : expected) {
        COLORREF seen = bandColour(e.band);
        EXPECT_EQ(seen, RGB(e.red, 0, e.blue)) << "band " << e.band << ": " << ColourText(seen);
    }
    StopAll();
}

TEST_F(MainWindowTest, TilePictureRepeatsFromTheTopLeftCorner) {
    WriteDistFile("tile.bmp", MakeBmp(16, 16, Tile));
    StartMain({"[install]", "SetupTitle=Acme Setup", "SetupColor=65280", "TilePic=tile.bmp"});
    ScreenImage shot = Shot("tiles");
    RECT back = ClientScreenRect(backdrop_);
    const int right = back.right - back.left;
    const int lastTile = (right - 1) / 16 * 16;
    for (POINT p : {POINT{0, 0}, POINT{16, 0}, POINT{0, 16}, POINT{lastTile, 32}}) {
        COLORREF seen = shot.At(back.left + p.x, back.top + p.y);
        EXPECT_EQ(seen, RGB(0, 0, 255)) << p.x << "," << p.y << ": " << ColourText(seen);
    }
    for (POINT p : {POINT{1, 0}, POINT{15, 15}, POINT{right - 1, 33}}) {
        COLORREF seen = shot.At(back.left + p.x, back.top + p.y);
        EXPECT_EQ(seen, RGB(255, 0, 0)) << p.x << "," << p.y << ": " << ColourText(seen);
    }
    StopAll();
}

TEST_F(MainWindowTest, BackdropAndLogoFollowResizesDownToTheSmallestSize) {
    WriteDistFile("logo.bmp", MakeBmp(40, 30, Green));
    StartMain({"[install]", "SetupTitle=Acme Setup", "SetupColor=255", "LogoPic=logo.bmp"});
    HWND logo = FindControl(main_, "Logo", "KvForm");
    ASSERT_TRUE(logo);
    auto size = [](HWND hwnd) {
        RECT rc = ClientScreenRect(hwnd);
        return std::make_pair(rc.right - rc.left, rc.bottom - rc.top);
    };
    auto followsMain = [&] {
        RECT inner = ClientScreenRect(GetParent(backdrop_));
        return size(backdrop_) == std::make_pair(inner.right - inner.left, inner.bottom - inner.top) &&
               ScreenRect(logo).right == inner.right;
    };
    ShowWindowAsync(main_, SW_RESTORE);
    EXPECT_TRUE(WaitFor([&] { return !IsZoomed(main_); }, 5000));
    // 500 × 300 pixels is 7500 × 4500 twips: large enough.
    SetWindowPos(main_, nullptr, 0, 0, 500, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor(followsMain, 5000));
    Shot("small-main-window");
    const auto kept = size(backdrop_);
    // 420 × 300 pixels is 6300 twips wide, below the smallest width: nothing follows.
    SetWindowPos(main_, nullptr, 0, 0, 420, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(500);
    EXPECT_EQ(size(backdrop_), kept);
    SetWindowPos(main_, nullptr, 0, 0, 520, 320, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor(followsMain, 5000));
    const auto before = size(backdrop_);
    ShowWindowAsync(main_, SW_MINIMIZE);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(main_) != FALSE; }, 5000));
    Sleep(300);
    EXPECT_EQ(size(backdrop_), before);
    StopAll();
}

TEST_F(MainWindowTest, CloseBoxAsksAndOnlyYesEndsTheProgram) {
    StartMain({"[install]", "SetupTitle=Acme Setup"});
    CloseBox(main_);
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_TRUE(IsExitQuestion(*box, "Acme Setup"));
    Shot("close-question");
    ASSERT_TRUE(AnswerMessageBox(*box, "&No"));
    Sleep(300);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(IsWindow(main_));

    CloseWindowMessage(main_);
    box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    ASSERT_TRUE(AnswerMessageBox(*box, "&Yes"));
    EXPECT_TRUE(WaitExit());
}

} // namespace
} // namespace e2e
