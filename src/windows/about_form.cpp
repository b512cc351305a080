#include "windows/about_form.h"

#include <vector>

AboutFormWindow AboutForm;

std::string ProgramVersion() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size > 0) {
        std::vector<char> data(size);
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (GetFileVersionInfoA(path, 0, size, data.data()) &&
            VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) && info &&
            length >= sizeof(VS_FIXEDFILEINFO))
            return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
                   std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
                   std::to_string(HIWORD(info->dwFileVersionLS));
    }
    // A program built without its resources (the test programs) reports the build's version.
    return std::to_string(KV_VERSION_MAJOR) + "." + std::to_string(KV_VERSION_MINOR) + "." +
           std::to_string(KV_VERSION_PATCH);
}

AboutFormWindow::AboutFormWindow() : Form(FormKind::TopLevel) {}

void AboutFormWindow::CreateControls() {
    SetCaption("About Setup");
    SetClientSize(5655, 4065);
    AddControl(Image1, nullptr, 240, 240, 480, 480);
    AddControl(Label1, nullptr, 960, 180, 4455, 420);
    Label1.SetFont("Times New Roman", 14, true);
    AddControl(Label2[0], nullptr, 960, 630, 4455, 255, "A script-driven setup program for Windows.");
    AddControl(Label2[1], nullptr, 960, 885, 4455, 255, "Made by the KavexInstall team.");
    AddControl(Line1, nullptr, 240, 1260, 5175, 15);
    Line1.SetBackColour(GetSysColor(COLOR_BTNSHADOW));
    AddControl(Line2, nullptr, 240, 1275, 5175, 15);
    Line2.SetBackColour(GetSysColor(COLOR_BTNHIGHLIGHT));
    // Two lines each for the product's name and its author, so that long names show whole,
    // the author's with room for Windows' message font (Segoe UI 9 pt, 240 twips a line).
    AddControl(Label5, nullptr, 240, 1380, 5175, 600, "<ProductName>");
    Label5.SetFont("Times New Roman", 12, true);
    AddControl(Label2[2], nullptr, 240, 1995, 5175, 540, "by <ProgramAuthor>");
    Text2.SetMultiLine(true);
    Text2.SetReadOnly(true);
    AddControl(Text2, nullptr, 240, 2580, 5175, 825, "<ProgramInfo>");
    Text1.SetReadOnly(true);
    AddControl(Text1, nullptr, 240, 3525, 3735, 315, "Thank you for installing with KavexInstall.");
    Command1.SetDefault(true);
    AddControl(Command1, nullptr, 4200, 3495, 1215, 375, "OK");
    Command1.Click = [this] { Unload(); };
}

void AboutFormWindow::OnLoad() {
    Guarded([&] {
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        if (!icon) icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        SetIcon(icon);
        Image1.SetIcon(icon, GetSystemMetrics(SM_CXICON));
        Label1.SetCaption("KavexInstall " + ProgramVersion());
        MoveTo((ScreenWidthTwips() - Width()) / 2, (ScreenHeightTwips() - Height()) / 2);
        Command1.SetFocus();
    });
}

void ShowAboutBox(const SetupSession& s) {
    AboutForm.Load();
    Guarded([&] {
        AboutForm.Label5.SetCaption(s.ReadIni("ProductName") + " " + s.ReadIni("ProductVersion"));
        AboutForm.Label2[2].SetCaption("by " + s.ReadIni("ProgramAuthor"));
        AboutForm.Text2.SetCaption(s.ReadIni("ProgramInfo"));
    });
    AboutForm.ShowModal();
}
