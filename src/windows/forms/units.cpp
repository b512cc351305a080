#include "windows/forms/units.h"

#include <map>

#include "windows/forms/internal.h"

namespace forms_detail {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

// The screen's DPI, asked once: the single place where twips meet pixels.
int Dpi(bool horizontal) {
    static int x = 0, y = 0;
    if (x == 0) {
        HDC dc = GetDC(nullptr);
        x = GetDeviceCaps(dc, LOGPIXELSX);
        y = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        if (x <= 0) x = 96;
        if (y <= 0) y = 96;
    }
    return horizontal ? x : y;
}

// Solid brushes by colour, kept for the whole run (a program uses only a handful).
HBRUSH BrushOf(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    auto it = brushes.find(colour);
    if (it != brushes.end()) return it->second;
    HBRUSH brush = CreateSolidBrush(colour);
    brushes[colour] = brush;
    return brush;
}

} // namespace forms_detail

using forms_detail::Dpi;

int TwipsToPixelsX(int twips) {
    return MulDiv(twips, Dpi(true), 1440);
}
int TwipsToPixelsY(int twips) {
    return MulDiv(twips, Dpi(false), 1440);
}
int PixelsToTwipsX(int pixels) {
    return MulDiv(pixels, 1440, Dpi(true));
}
int PixelsToTwipsY(int pixels) {
    return MulDiv(pixels, 1440, Dpi(false));
}
int ScreenWidthTwips() {
    return PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN));
}
int ScreenHeightTwips() {
    return PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN));
}

COLORREF OleColourToRgb(int32_t oleColour) {
    auto value = static_cast<uint32_t>(oleColour);
    if (value & 0x80000000u) return GetSysColor(static_cast<int>(value & 0xFFu));
    return static_cast<COLORREF>(value & 0x00FFFFFFu);
}
