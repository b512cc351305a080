#include "driver/screen.h"

#include <fstream>

namespace e2e {

bool SaveScreen(const std::string& bmpPath) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}}; // top down
    SelectObject(memory, old);
    const bool read = copied && GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return read && std::ofstream(bmpPath, std::ios::binary) << MakeBmp(width, height, pixels);
}

std::string MakeBmp(int width, int height, const std::vector<uint32_t>& pixels) {
    const BITMAPINFOHEADER info{sizeof(info), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(info),
                image = static_cast<DWORD>(pixels.size() * 4);
    const BITMAPFILEHEADER file{0x4D42, headers + image, 0, 0, headers}; // "BM"
    return std::string(reinterpret_cast<const char*>(&file), sizeof(file)) +
           std::string(reinterpret_cast<const char*>(&info), sizeof(info)) +
           std::string(reinterpret_cast<const char*>(pixels.data()), image);
}

} // namespace e2e
