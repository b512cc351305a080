#include "driver/screen.h"

#include <fstream>

namespace e2e {

ScreenImage ScreenImage::Capture() {
    ScreenImage image;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB}; // top-down rows
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            image.width_ = width;
            image.height_ = height;
            const auto* source = static_cast<const uint32_t*>(bits);
            image.pixels_.assign(source, source + static_cast<size_t>(width) * height);
        }
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

COLORREF ScreenImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFFFFu;
    const uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool ScreenImage::SaveBmp(const std::string& path) const {
    if (pixels_.empty()) return false;
    const std::string bytes = MakeBmp(width_, height_, [this](int x, int y) { return At(x, y); });
    std::ofstream file(path, std::ios::binary);
    return static_cast<bool>(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

std::string MakeBmp(int width, int height, const std::function<COLORREF(int x, int y)>& colour) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string bytes(54 + imageSize, '\0');
    auto put = [&](size_t at, uint32_t value, int size) {
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
    for (int y = 0; y < height; ++y) {
        const size_t row = 54 + static_cast<size_t>(stride) * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            put(row + x * 3, (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c), 3);
        }
    }
    return bytes;
}

} // namespace e2e
