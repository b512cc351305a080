#include "startup/start_windows.h"

SplashFormWindow SplashForm;
LogoFormWindow LogoForm;

SplashFormWindow::SplashFormWindow() : Form(FormKind::TopLevel) {}

void SplashFormWindow::CreateControls() {
    SetBackColour(RGB(255, 255, 255));
    // The name in Times New Roman 32 pt with a sixth to spare.
    SetClientSize(5760, 2160);
    AddControl(Image1, nullptr, 480, 600, 960, 960);
    Image1.SetAutoSize(false);
    HICON icon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, 64, 64, 0));
    if (!icon) icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    Image1.SetIcon(icon, 64);
    Image1.Click = [this] { Unload(); };
    AddControl(Label1, nullptr, 1560, 690, 3960, 780, "KavexInstall");
    Label1.SetFont("Times New Roman", 32, true, true);
    Label1.SetForeColour(RGB(0x1C, 0x4F, 0x9C));
}

void SplashFormWindow::OnLoad() {
    MoveTo((ScreenWidthTwips() - Width()) / 2, (ScreenHeightTwips() - Height()) / 2);
}

LogoFormWindow::LogoFormWindow() : Form(FormKind::Child) {}

void LogoFormWindow::CreateControls() {
    SetCaption("Logo");
    AddControl(Image1, nullptr, 0, 0, 15, 15);
}
