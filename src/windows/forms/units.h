// Twips (1440 per inch) and pixels, converted with the screen's DPI in this one place, and
// colours in the OLE convention.
#pragma once
#include <windows.h>

#include <cstdint>

int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);
int ScreenWidthTwips();
int ScreenHeightTwips();
// A colour in the OLE convention: 0x00BBGGRR, or with the top bit set a system colour
// index in the low byte (&H8000000F is the button face colour).
COLORREF OleColourToRgb(int32_t oleColour);
