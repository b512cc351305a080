// Screenshots: the screen captured with GDI, pixels read back, and saved as PNG files
// written here without any image library.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

class ScreenImage {
  public:
    // Captures the whole screen now.
    static ScreenImage Capture();
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return pixels_.empty(); }
    // The colour at screen position (x, y); 0xFFFFFFFF outside the image.
    COLORREF At(int x, int y) const;
    // Saves as a 24-bit PNG; creates the folder when missing.
    bool SavePng(const std::string& path) const;

  private:
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> pixels_; // RGB, rows top to bottom
};

// PNG bytes of an RGB image (3 bytes per pixel, rows top to bottom): stored deflate blocks,
// CRC-32 per chunk and the Adler-32 of the zlib stream.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb);
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size);

} // namespace e2e
