// The screen as the user sees it, saved as a BMP file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

bool SaveScreen(const std::string& bmpPath);
// The bytes of a 32-bit BMP file of width × height pixels (0x00RRGGBB, top row first).
std::string MakeBmp(int width, int height, const std::vector<uint32_t>& pixels);

} // namespace e2e
