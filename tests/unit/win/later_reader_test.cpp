// The text reader and the license screen.
#include <gtest/gtest.h>

#include "later_support.h"
#include "windows/msgbox.h"
#include "wizard/later_parts.h"
#include "wizard/text_reader.h"

using namespace kvtest;

TEST(TextReader, ShowsLineEndsAsTheEditControlNeedsThem) {
    EXPECT_EQ(TextForDisplay("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(TextForDisplay(std::string("x\0y", 3)), "x y");
    EXPECT_EQ(TextForDisplay(""), "");
}

// Opens the reader on `file` and lets `answer` act on the window titled `caption`;
// returns the reader's answer and the text it showed.
static int16_t ShowAndAnswer(const std::string& path, const std::string& caption, int16_t mode,
                             std::function<void(HWND)> act, std::string& shown) {
    WindowAnswerer answerer(caption, [&](HWND hwnd) {
        shown = WindowText(FindWindowExA(hwnd, nullptr, "Edit", nullptr));
        act(hwnd);
    });
    const int16_t answer = ShowTextFile(path, caption, mode);
    answerer.Join();
    EXPECT_TRUE(answerer.found) << caption;
    return answer;
}

TEST(TextReader, ShowsTheFileOrWhyNotAndReturnsTheAnswer) {
    const std::string folder = FreshFolder("later_reader");
    WriteFile(folder + "readme.txt", "Line one\nLine two\n");
    WriteFile(folder + "empty.txt", "");
    const auto ok = [](HWND hwnd) { ClickButton(hwnd, "OK"); };
    std::string shown;
    EXPECT_EQ(ShowAndAnswer(folder + "readme.txt", "readme", 0, ok, shown), 1);
    EXPECT_EQ(shown, "Line one\r\nLine two\r\n");
    EXPECT_EQ(ShowAndAnswer(folder + "empty.txt", "empty", 0, ok, shown), 1);
    EXPECT_EQ(shown, "");
    EXPECT_EQ(ShowAndAnswer(folder + "gone.txt", "gone", 0, ok, shown), 1);
    EXPECT_EQ(shown, "Could not find the file: " + folder + "gone.txt");
    // In the license mode No refuses (Yes and the close box are exercised end to end).
    EXPECT_EQ(
        ShowAndAnswer(
            folder + "readme.txt", "License Agreement", 1, [](HWND hwnd) { ClickButton(hwnd, "No"); }, shown),
        0);
}

TEST(TextReader, ControlsFollowTheSizeDownToTheMinimum) {
    TextReader.Load();
    TextReader.Move(0, 0, 9000, 7000);
    EXPECT_EQ(TextReader.Text1.Width(), TextReader.ClientWidth() - 175);
    EXPECT_EQ(TextReader.Text1.Height(), TextReader.ClientHeight() - 800);
    EXPECT_EQ(TextReader.Command1.Top(), TextReader.ClientHeight() - 550);
    EXPECT_EQ(TextReader.Frame1.Top(), TextReader.ClientHeight() - 650);
    EXPECT_EQ(TextReader.Picture1.Left() + TextReader.Picture1.Width(),
              TextReader.Text1.Left() + TextReader.Text1.Width());
    const int width = TextReader.Text1.Width(), top = TextReader.Command1.Top();
    TextReader.Move(0, 0, 3000, 2000); // below 3480 by 2160
    EXPECT_EQ(TextReader.Text1.Width(), width);
    EXPECT_EQ(TextReader.Command1.Top(), top);
    TextReader.Unload();
}

TEST(License, MissingFileAsksWhetherToGoOn) {
    SetupFolderWithScript("later_nolicense", "[install]\nProductName=Acme Tools\nLicenseFile=nothere.txt\n");
    std::string text, title;
    unsigned flags = 0;
    SetMessageBoxHook([&](const std::string& t, unsigned f, const std::string& ti) {
        text = t;
        flags = f;
        title = ti;
        return IDOK;
    });
    ShowLicense(); // OK: returns to the wizard
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(
        text,
        "Could not display the licensing agreement. Please contact the developer of Acme Tools to obtain "
        "a fix.\r\n\r\nPlease note: there may be rules governing the use of the software to be installed. "
        "Press OK to continue or CANCEL to cancel the installation of Acme Tools.");
    EXPECT_EQ(flags, static_cast<unsigned>(MB_OKCANCEL));
    EXPECT_EQ(title, AppTitle);

    // No LicenseFile at all: the path is the setup folder, which counts as missing.
    SetupFolderWithScript("later_nolicense", "[install]\nProductName=Acme Tools\n");
    text.clear();
    SetMessageBoxHook([&](const std::string& t, unsigned, const std::string&) {
        text = t;
        return IDOK;
    });
    ShowLicense();
    SetMessageBoxHook(nullptr);
    EXPECT_NE(text.find("Could not display the licensing agreement."), std::string::npos);
}
