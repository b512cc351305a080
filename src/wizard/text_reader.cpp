// The text reader window, ShowTextFile and the license screen.
#include "wizard/text_reader.h"

#include <windows.h>

#include "engine/session.h"
#include "system/exit_code.h"
#include "system/file_system.h"
#include "windows/msgbox.h"
#include "wizard/screen_actions.h"
#include "wizard/wizard.h"

TextReaderForm TextReader;

std::string TextForDisplay(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 32);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            text += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            text += "\r\n";
        } else if (c == '\0') {
            text += ' ';
        } else {
            text += c;
        }
    }
    return text;
}

// ---------------------------------------------------------------------------------------

DWORD TextReaderForm::ReaderText::Style() const {
    // A read-only multi-line box with both scroll bars, as its hint says. Lines are shown
    // as the document has them: a long line runs on to the right and is reached with the
    // horizontal scroll bar.
    return WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
           ES_READONLY | ES_NOHIDESEL;
}

DWORD TextReaderForm::Style() const {
    // A sizeable window; the controls follow its size (OnResize).
    return Form::Style() | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
}

// The strip under the text box holds the agreement frame (or the OK button) and the hint
// box. Their texts take two lines, with room for Windows' message font (Segoe UI 9 pt, 240
// twips a line).
namespace {
const int kStrip = 860;    // from the text box's bottom to the window's
const int kFrameTop = 770; // above the window's bottom
const int kOkTop = 620;    // above the window's bottom: the OK button in the strip's middle
} // namespace

void TextReaderForm::CreateControls() {
    SetCaption("Licensing Agreement");
    SetClientSize(7800, 5400);
    const int innerW = 7800, innerH = 5400;
    AddControl(Text1, nullptr, 60, 60, innerW - 175, innerH - 60 - kStrip);
    SendMessageA(Text1.Handle(), EM_SETLIMITTEXT, 0, 0); // no limit on what the file holds

    // The hint box sits right-aligned under the text box, beside the agreement frame and
    // the OK button (not above them): the frame is only as wide as its question and
    // buttons, and the hint wraps onto two lines.
    const int boxW = 2940, boxH = 600;
    AddControl(Picture1, nullptr, 60 + (innerW - 175) - boxW, innerH - kStrip, boxW, boxH);
    AddControl(Line1, &Picture1, 0, 0, boxW, 15);
    AddControl(Line2, &Picture1, 0, 0, 15, boxH);
    AddControl(Line3[0], &Picture1, 0, boxH - 15, boxW, 15);
    AddControl(Line3[1], &Picture1, boxW - 15, 0, 15, boxH);
    Line1.SetBackColour(RGB(128, 128, 128));
    Line2.SetBackColour(RGB(128, 128, 128));
    Line3[0].SetBackColour(RGB(255, 255, 255));
    Line3[1].SetBackColour(RGB(255, 255, 255));
    AddControl(Label2, &Picture1, 75, 30, boxW - 150, boxH - 60,
               "Use the scroll bars to see the entire document");
    Label2.SetAlignment(SS_CENTER);

    AddControl(Frame1, nullptr, 60, innerH - kFrameTop, 4560, 720);
    AddControl(Label1, &Frame1, 120, 120, 2160, 540, "Do you agree to ALL the above terms?");
    AddControl(Command2, &Frame1, 2400, 180, 975, 360, "Yes");
    AddControl(Command3, &Frame1, 3480, 180, 975, 360, "No");
    Frame1.SetVisible(false);

    AddControl(Command1, nullptr, innerW / 2 - 1215 / 2, innerH - kOkTop, 1215, 375, "OK");
    Command1.SetDefault(true);

    Command1.Click = [this] {
        ReaderAnswer = 1;
        Unload();
    };
    Command2.Click = [this] {
        ReaderAnswer = 1;
        Unload();
    };
    Command3.Click = [this] {
        ReaderAnswer = 0;
        Unload();
    };
}

void TextReaderForm::OnLoad() {
    // Closing the window by its close box leaves the answer at 0: a refusal.
    ReaderAnswer = 0;
    MoveTo((ScreenWidthTwips() - Width()) / 2, (ScreenHeightTwips() - Height()) / 2);
}

void TextReaderForm::OnResize() {
    // Below 3480 by 2160 twips, or minimized, the controls keep their last places.
    if (Width() < 3480 || Height() < 2160 || Minimized()) return;
    const int innerW = ClientWidth(), innerH = ClientHeight();
    Text1.Move(Text1.Left(), Text1.Top(), innerW - 175, innerH - Text1.Top() - kStrip);
    Frame1.Move(Frame1.Left(), innerH - kFrameTop, Frame1.Width(), Frame1.Height());
    Picture1.Move(Text1.Left() + Text1.Width() - Picture1.Width(), Text1.Top() + Text1.Height(),
                  Picture1.Width(), Picture1.Height());
    Command1.Move(innerW / 2 - Command1.Width() / 2, innerH - kOkTop, Command1.Width(), Command1.Height());
}

// Esc closes the reader like its close box: for the license, a refusal.
void TextReaderForm::OnEscape() {
    Unload();
}

void TextReaderForm::DataRefresh(const std::string& dataparm) {
    Text1.SetCaption(TextForDisplay(dataparm));
}

// ---------------------------------------------------------------------------------------

int16_t ShowTextFile(const std::string& path, const std::string& caption, int16_t mode) {
    try {
        TextReader.Load(); // answer 0, centred on the screen
        TextReader.SetCaption(caption);
        if (mode == 1) {
            TextReader.Command1.SetVisible(false);
            TextReader.Frame1.SetVisible(true);
        }
        // A file that is there but cannot be read is reported like a missing one.
        std::string bytes;
        if (ReadFileBytes(path, bytes))
            TextReader.DataRefresh(bytes);
        else
            TextReader.DataRefresh("Could not find the file: " + path);
        TextReader.ShowModal();
    } catch (...) {
        TextReader.Unload();
    }
    return TextReader.ReaderAnswer;
}

void ShowLicense(const SetupSession& s) {
    // With LicenseFile empty the path is the setup folder itself, which is no file: the
    // user is told the license cannot be shown, as for a missing file.
    const std::string path = s.sourceDir + s.ReadIni("LicenseFile");
    if (FileCanBeRead(path)) {
        if (ShowTextFile(path, "License Agreement", 1) == 0) {
            SetExitCode(ERROR_INSTALL_USEREXIT);
            AbortSetup();
        }
        return;
    }
    const std::string product = s.ReadIni("ProductName");
    const int answer = MsgBox("Could not display the licensing agreement. Please contact the developer of " +
                                  product + " to obtain a fix." + "\r\n" + "\r\n" +
                                  "Please note: there may be rules governing the use of the software to be "
                                  "installed. Press OK to continue or CANCEL to cancel the installation of " +
                                  product + ".",
                              MB_OKCANCEL);
    if (answer != IDOK) {
        SetExitCode(ERROR_INSTALL_USEREXIT);
        AbortSetup();
    }
}
