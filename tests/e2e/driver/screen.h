// The screen as the user sees it: one pixel read back, or the whole screen saved as a BMP file.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

COLORREF ScreenPixel(int x, int y);
bool SaveScreen(const std::string& bmpPath);
// The bytes of a 24-bit BMP file of width × height whose pixel (x, y) has colour(x, y).
std::string MakeBmp(int width, int height, const std::function<COLORREF(int x, int y)>& colour);

} // namespace e2e
