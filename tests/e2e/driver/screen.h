// The screen captured with GDI, its pixels read back and saved as a BMP file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

class ScreenImage {
  public:
    static ScreenImage Capture(); // the whole screen, now
    // The colour at screen position (x, y); 0xFFFFFFFF outside the image.
    COLORREF At(int x, int y) const;
    bool SaveBmp(const std::string& path) const;

  private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_; // 0x00RRGGBB, rows top to bottom
};

// The bytes of a 24-bit BMP file of width × height whose pixel (x, y) has colour(x, y).
std::string MakeBmp(int width, int height, const std::function<COLORREF(int x, int y)>& colour);

} // namespace e2e
