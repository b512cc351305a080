#include "windows/mother_form.h"

#include "script/text.h"
#include "script/values.h"
#include "windows/long_work.h"

MotherFormWindow MotherForm;
MotherFormBackWindow MotherFormBack;

namespace {
// The main window is left alone below this size, so that a window dragged very small
// keeps a usable backdrop and logo position.
constexpr int kMinWidth = 6375;
constexpr int kMinHeight = 3675;
} // namespace

int32_t ReadColourKey(const SetupSession& s, const char* key) {
    return RoundToInt32(ReadNumber(s.ReadIni(key))).value_or(0);
}

MainWindowLook ReadMainWindowLook(const SetupSession& s) {
    MainWindowLook look;
    look.colour = ReadColourKey(s, "SetupColor");
    look.title = s.ReadIni("SetupTitle");
    look.drawGradient = ReadFlag(s.ReadIni("DrawGradient"));
    // Values beyond the 16-bit range are taken as their nearest 16-bit value.
    auto component = [&](const char* key) {
        const double value = ReadNumber(s.ReadIni(key));
        return RoundToInt16(value).value_or(value < 0 ? INT16_MIN : INT16_MAX);
    };
    look.gradient = {component("GradientRed"), component("GradientGreen"), component("GradientBlue")};
    const std::string tile = s.ReadIni("TilePic");
    look.tilePath = TrimBlanks(tile).empty() ? std::string() : s.sourceDir + tile;
    return look;
}

// --- Main window -----------------------------------------------------------------------
MotherFormWindow::MotherFormWindow() : Form(FormKind::MdiFrame) {}

void MotherFormWindow::OnLoad() {
    SetBackColour(OleColourToRgb(look.colour));
    SetCaption(look.title);
    Move(0, 0, ScreenWidthTwips(), ScreenHeightTwips() - 100);
}

bool MotherFormWindow::OnQueryUnload(UnloadMode mode) {
    // Only the user's close (close box, window menu, Alt+F4) asks; closing from code does not.
    if (mode != UnloadMode::User || !CloseRequested) return true;
    // While files are installed or removed a close request is dropped: the work would
    // stop halfway.
    if (LongWorkRunning()) return false;
    bool close = false;
    Guarded([&] { close = CloseRequested(); });
    return close;
}

void MotherFormWindow::OnResize() {
    Guarded([&] {
        if (Minimized() || Width() < kMinWidth || Height() < kMinHeight) return;
        // Only the windows that start-up opened are arranged: in quiet mode there is no
        // backdrop or logo to bring up.
        if (MotherFormBack.Loaded()) MotherFormBack.Move(0, 0, ClientWidth(), ClientHeight());
        // The logo window is loaded only for a script that names a logo picture.
        if (logoWindow && logoWindow->Loaded())
            logoWindow->MoveTo(ClientWidth() - logoWindow->Width(), logoWindow->Top());
    });
}

// --- Backdrop --------------------------------------------------------------------------
MotherFormBackWindow::MotherFormBackWindow() : Form(FormKind::Child) {}
MotherFormBackWindow::~MotherFormBackWindow() {
    FreeCanvas();
}

void MotherFormBackWindow::CreateControls() {
    AddControl(TileImage, nullptr, 0, 0, 15, 15);
    TileImage.SetVisible(false);
}

void MotherFormBackWindow::OnLoad() {
    SetCaption("Setup");
    SetBackColour(OleColourToRgb(MotherForm.look.colour));
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Take the main window's inner area now: the main window was sized before the
    // backdrop existed.
    if (!MotherForm.Minimized() && MotherForm.Width() >= kMinWidth && MotherForm.Height() >= kMinHeight)
        Move(0, 0, MotherForm.ClientWidth(), MotherForm.ClientHeight());
}

bool MotherFormBackWindow::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg == WM_WINDOWPOSCHANGING) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        if (!(pos->flags & SWP_NOZORDER)) pos->hwndInsertAfter = HWND_BOTTOM;
        pos->flags |= SWP_NOACTIVATE;
        return false;
    }
    if (msg == WM_MOUSEACTIVATE) {
        result = MA_NOACTIVATE;
        return true;
    }
    return false;
}

void MotherFormBackWindow::FreeCanvas() {
    if (canvasDc_) {
        SelectObject(canvasDc_, oldBitmap_);
        DeleteDC(canvasDc_);
    }
    if (canvas_) DeleteObject(canvas_);
    canvasDc_ = nullptr;
    canvas_ = nullptr;
    canvasWidth_ = canvasHeight_ = 0;
}

void MotherFormBackWindow::NewCanvas() {
    FreeCanvas();
    RECT rc{};
    GetClientRect(Handle(), &rc);
    canvasWidth_ = std::max<int>(rc.right, 1);
    canvasHeight_ = std::max<int>(rc.bottom, 1);
    HDC screen = GetDC(Handle());
    canvasDc_ = CreateCompatibleDC(screen);
    canvas_ = CreateCompatibleBitmap(screen, canvasWidth_, canvasHeight_);
    ReleaseDC(Handle(), screen);
    oldBitmap_ = SelectObject(canvasDc_, canvas_);
    RECT all{0, 0, canvasWidth_, canvasHeight_};
    HBRUSH brush = CreateSolidBrush(BackColour());
    FillRect(canvasDc_, &all, brush);
    DeleteObject(brush);
}

void MotherFormBackWindow::OnResize() {
    Guarded([&] {
        if (MotherForm.Minimized()) return;
        NewCanvas();
        const MainWindowLook& look = MotherForm.look;
        if (look.drawGradient) {
            auto [red, green, blue] = look.gradient;
            PaintGradient(*this, red, green, blue);
        }
        // A file that cannot be read as a picture leaves the backdrop without tiles.
        if (!look.tilePath.empty() && TileImage.LoadPicture(look.tilePath)) TilePicture(*this, TileImage);
        InvalidateRect(Handle(), nullptr, FALSE);
    });
}

void MotherFormBackWindow::OnUnload() {
    FreeCanvas();
}

void MotherFormBackWindow::OnPaint(HDC dc) {
    if (canvasDc_) {
        BitBlt(dc, 0, 0, canvasWidth_, canvasHeight_, canvasDc_, 0, 0, SRCCOPY);
    } else {
        RECT rc;
        GetClientRect(Handle(), &rc);
        HBRUSH brush = CreateSolidBrush(BackColour());
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
    }
}

// --- Painting routines -------------------------------------------------------------------
std::array<COLORREF, 256> GradientBands(int red, int green, int blue) {
    // Negative components are taken as 0.
    auto clampLow = [](int value) { return value < 0 ? 0 : value; };
    red = clampLow(red);
    green = clampLow(green);
    blue = clampLow(blue);
    std::array<COLORREF, 256> bands{};
    for (auto& band : bands) {
        band = RGB(std::min(red, 255), std::min(green, 255), std::min(blue, 255));
        red = clampLow(red - 1);
        green = clampLow(green - 1);
        blue = clampLow(blue - 1);
    }
    return bands;
}

void PaintGradient(MotherFormBackWindow& form, int16_t& red, int16_t& green, int16_t& blue) {
    HourglassPointer hourglass;
    HDC dc = form.Canvas();
    if (!dc) return;
    RECT all{0, 0, form.CanvasWidth(), form.CanvasHeight()};
    HBRUSH back = CreateSolidBrush(form.BackColour());
    FillRect(dc, &all, back);
    DeleteObject(back);
    // The inner height is divided into 512 units and each band is 2 units high. The
    // bands run to the window's outer width in twips taken as pixels, always past its
    // right edge.
    const std::array<COLORREF, 256> bands = GradientBands(red, green, blue);
    const int height = form.CanvasHeight();
    const int right = std::max(form.Width(), form.CanvasWidth());
    for (int band = 0; band < 256; ++band) {
        RECT rc{0, MulDiv(band * 2, height, 512), right, MulDiv(band * 2 + 2, height, 512)};
        HBRUSH brush = CreateSolidBrush(bands[static_cast<size_t>(band)]);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
    }
    auto down = [](int16_t& value) { value = static_cast<int16_t>(std::max(0, value - 256)); };
    down(red);
    down(green);
    down(blue);
}

void TilePicture(MotherFormBackWindow& form, ImageBox& image) {
    HDC dc = form.Canvas();
    const Picture& picture = image.Picture1;
    if (!dc || picture.Empty()) return;
    for (int y = 0; y <= form.CanvasHeight(); y += picture.HeightPixels())
        for (int x = 0; x <= form.CanvasWidth(); x += picture.WidthPixels()) picture.Draw(dc, x, y);
}
