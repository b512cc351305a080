#include "wizard/wiz_form.h"

#include "script/text.h"
#include "system/drives.h"
#include "system/exit_code.h"
#include "system/file_system.h"
#include "windows/about_form.h"
#include "windows/long_work.h"
#include "windows/mother_form.h"
#include "windows/msgbox.h"
#include "wizard/folder_chooser.h"
#include "wizard/screen_actions.h"
#include "wizard/wizard.h"

WizFormWindow WizForm;

WizFormWindow::WizFormWindow() : Form(FormKind::MdiChild) {}

void WizFormWindow::CreateControls() {
    SetCaption("Setup Wizard");
    SetClientSize(6435, 4875);
    SetKeyPreview(true);

    AddControl(Image1, nullptr, 240, 240, 1815, 3135);
    // The shadow first, so that the black title lies on top of it.
    AddControl(Label1[1], nullptr, 2325, 285, 3975, 555, "<Product Name>");
    AddControl(Label1[0], nullptr, 2280, 240, 3975, 555, "<Product Name>");
    for (int i : {1, 0}) {
        Label1[i].SetTransparent(true);
        Label1[i].SetFont("Times New Roman", 18, true);
    }
    Label1[0].SetForeColour(RGB(0, 0, 0));
    Label1[1].SetForeColour(RGB(0x80, 0x80, 0x80));

    // The screens' texts have room for Windows' message font, Segoe UI 9 pt (240 twips a line),
    // and for names of 60 characters.
    const int panelLeft = 2280, panelTop = 960, panelWidth = 3975, panelHeight = 3120;
    for (auto& panel : WizScreen) {
        AddControl(panel, nullptr, panelLeft, panelTop, panelWidth, panelHeight);
        panel.SetVisible(false);
    }
    const int w = panelWidth;
    AddControl(
        Label3[0], &WizScreen[0], 0, 0, w, 1080,
        "This program will install <ProgramName> on your computer. You will be asked to choose a folder on "
        "your hard drive where the program is to be located. ");
    AddControl(
        Label3[1], &WizScreen[0], 0, 1200, w, 1080,
        "IMPORTANT: It is highly recommended that you close all open windows before continuing. Files cannot "
        "be updated if they are currently being used. ");

    // Room for a long program name (five lines for the first sentence, three for the
    // second) and folder (two lines).
    AddControl(
        Label3[3], &WizScreen[1], 0, 0, w, 1200,
        "If you are upgrading from a previous version of <ProgramName> make sure to specify the same folder "
        "as the older version.");
    AddControl(Label4, &WizScreen[1], 0, 1245, w, 720, "<ProgramName> will be installed here:");
    AddControl(Label5, &WizScreen[1], 0, 2010, w, 420, "<DefaultDir>");
    Label5.SetFont("Tahoma", 8, true);
    AddControl(Label9, &WizScreen[1], 0, 2460, w, 255, "Disk free space");
    AddControl(Command3, &WizScreen[1], w - 1215, 2730, 1215, 375, "Change...");

    AddControl(Label8, &WizScreen[2], 0, 0, w, 255, "Copying files, please wait...");
    Text1.SetReadOnly(true);
    AddControl(Text1, &WizScreen[2], 0, 480, w, 315);
    Picture1.SetBorder(true);
    Picture1.SetBackColour(RGB(255, 255, 255));
    AddControl(Picture1, &WizScreen[2], 0, 960, w, 375);
    // The bar is as wide as its box; the progress display slides it in from the left.
    AddControl(Shape1, &Picture1, -w, 0, w, 375);
    Shape1.SetBackColour(RGB(0, 0, 0x80));

    AddControl(Label2, &WizScreen[4], 0, 0, w, 255, "Searching for installed components...");
    AddControl(Label10, &WizScreen[4], 0, 480, w, 720,
               "(Press 'Cancel' to stop search and install in default location)");

    AddControl(Label6, &WizScreen[5], 0, 0, w, 960,
               "Setup is ready to install <ProgramName>. Press Finish to continue.");
    AddControl(Label7, &WizScreen[6], 0, 0, w, 255, "Finalizing settings...");

    // Two separator lines, black above white, as an engraved rule above the buttons.
    AddControl(Line6, nullptr, 120, 4155, 6195, 15);
    Line6.SetBackColour(RGB(0, 0, 0));
    AddControl(Line5, nullptr, 120, 4170, 6195, 15);
    Line5.SetBackColour(RGB(255, 255, 255));

    AddControl(AboutButton, nullptr, 120, 4365, 1215, 375, "&About...");
    AddControl(BackButton, nullptr, 2580, 4365, 1215, 375, "< &Back");
    NextButton.SetDefault(true);
    AddControl(NextButton, nullptr, 3795, 4365, 1215, 375, "&Next >");
    AddControl(CancelButton, nullptr, 5100, 4365, 1215, 375, "Cancel");
    // The buttons' clicks are the wizard's (Wizard), which sets them.
}

void WizFormWindow::SetTitle(const std::string& title) {
    for (Label& label : Label1) label.SetCaption(title);
    // From 18 points down to 8, the largest type in which the title fits its label.
    RECT room;
    GetClientRect(Label1[0].Handle(), &room);
    for (int points = 18; points >= 8; --points) {
        for (Label& label : Label1) label.SetFont("Times New Roman", points, true);
        HDC dc = GetDC(Label1[0].Handle());
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(Label1[0].Handle(), WM_GETFONT, 0, 0)));
        RECT need{0, 0, room.right, 0};
        DrawTextA(dc, title.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(Label1[0].Handle(), dc);
        if (need.right <= room.right && need.bottom <= room.bottom) break;
    }
}

void WizFormWindow::OnLoad() {
    Guarded([&] { MoveTo(500, 500); });
}

// The wizard has no close box; a close request (Ctrl+F4) is taken as the Cancel button.
bool WizFormWindow::OnQueryUnload(UnloadMode mode) {
    if (mode != UnloadMode::User) return true;
    if (LongWorkRunning()) return false; // dropped while files are installed
    CancelButton.DoClick();
    return false;
}

void WizFormWindow::OnEscape() {
    CancelButton.DoClick();
}

void WizFormWindow::OnKeyPress(char key) {
    if (key == 'x') SearchCancelled = true;
}

void Wizard::WizForm_NextButton_Click() {
    // The wizard leaves the destination screen only for a folder that can hold the Setup
    // folder's files; otherwise the user is told why and may choose another.
    if (steps.NextChecksDestination() && s_.DestinationTooLong()) {
        MsgBox(DestinationTooLongText(SetupSession::kLongestDestination), MB_OK | MB_ICONEXCLAMATION,
               s_.ReadIni("SetupTitle"));
        return;
    }
    ShowWizardScreen(1);
}

void Wizard::WizForm_BackButton_Click() {
    ShowWizardScreen(-1);
}

void Wizard::AskToExitSetup() {
    if (AskToExit(s_.ReadIni("SetupTitle"))) {
        SetExitCode(ERROR_INSTALL_USEREXIT);
        WizForm.Unload();
        MotherForm.Unload();
        EndProgram();
    }
}

void Wizard::WizForm_CancelButton_Click() {
    if (steps.Cancel() == WizardCancel::StopSearch) {
        WizForm.SearchCancelled = true;
        return;
    }
    AskToExitSetup();
}

void Wizard::WizForm_AboutButton_Click() {
    ShowAboutBox(s_);
}

void Wizard::WizForm_Command3_Click() {
    SetupSession& s = s_;
    std::vector<std::string> fixed, network;
    int16_t fixedCount = ListDrivesOfType(3, fixed);
    int16_t networkCount = ListDrivesOfType(4, network);
    // From here on a failing statement is skipped and the next one runs.
    std::string drive, folder;
    Guarded([&] {
        const std::string current =
            s.destDir.empty() ? std::string() : s.destDir.substr(0, s.destDir.size() - 1);
        if (FolderExists(current)) {
            drive = s.destDir.substr(0, 3);
            folder = current;
        } else if (fixedCount > 0) {
            drive = folder = fixed[0];
        } else if (networkCount > 0) {
            drive = folder = network[0];
        }
    });
    std::string chosen;
    // A Setup folder's files must fit under the folder chosen.
    const size_t longest = s.EstablishSetup() ? SetupSession::kLongestDestination : std::string::npos;
    Guarded([&] { chosen = ShowFolderChooser(drive, folder, longest); });
    Guarded([&] {
        if (!chosen.empty()) s.destDir = chosen;
    });
    Guarded([this] { ShowWizardScreen(0); });
}
