#include "driver/screen.h"

#include <fstream>
#include <vector>

namespace e2e {

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool SaveScreen(const std::string& bmpPath) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB}; // top-down rows
    SelectObject(memory, old);
    const bool read = copied && GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!read) return false;
    const auto at = [&](int x, int y) { // 0x00RRGGBB as read, as a COLORREF
        const COLORREF p = pixels[static_cast<size_t>(y) * width + x];
        return RGB(GetBValue(p), GetGValue(p), GetRValue(p));
    };
    return static_cast<bool>(std::ofstream(bmpPath, std::ios::binary) << MakeBmp(width, height, at));
}

std::string MakeBmp(int width, int height, const std::function<COLORREF(int x, int y)>& colour) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string bytes(54 + imageSize, '\0');
    const auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, 54 + imageSize, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4); // bottom-up rows
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageSize, 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            put(54 + static_cast<size_t>(stride) * (height - 1 - y) + x * 3,
                (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c), 3);
        }
    return bytes;
}

} // namespace e2e
