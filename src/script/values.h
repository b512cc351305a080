// How the program reads script texts as numbers, flags, counts and registry roots,
// and how it writes numbers for the user. Portable: no platform calls.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The number a text begins with. Blanks (also between digits), tabs and line feeds are
// skipped; a leading sign, a decimal point and an exponent (E or D) are read; text that
// does not begin with a number reads as 0. "&H" and "&O" read hexadecimal and octal
// digits: up to 4 hexadecimal (6 octal) digits give a signed 16-bit value, more a
// signed 32-bit value (&HFFFF is -1, &H80000002 is -2147483646); 6 octal digits above
// &O177777 already give a 32-bit value. Leading zeros count as digits (&H0FFFF is 65535).
// Digits that make more than 32 bits read as 0, not as some part of them; a decimal number
// too large for a double reads as the largest double of its sign.
double ReadNumber(std::string_view text);

// On when the text reads as a number other than 0.
bool ReadFlag(std::string_view text);

// The number rounded to the nearest whole number (a half to the even neighbour) as a
// 16-bit count. Counts above 32767 are taken as 32767; below -32768 as 0.
int16_t ReadCount(std::string_view text);

// Rounding of a number into a signed 16-bit / 32-bit integer, a half to the even
// neighbour; nothing when it does not fit.
std::optional<int16_t> RoundToInt16(double value);
std::optional<int32_t> RoundToInt32(double value);

// A registry root as the script writes it: the number converted to a signed 32-bit
// integer. A number that does not fit gives 0, which names no root.
int32_t ReadRegRoot(std::string_view text);

// The number as the user sees it: one leading blank for a non-negative number (a
// minus sign otherwise), up to 15 significant digits, no trailing zeros
// (1.5 gives " 1.5", 50 gives " 50", -2 gives "-2"). Fractions keep their leading zero
// (" 0.5"); very large and very small numbers are shown with an exponent (" 1E+20").
std::string LeadingBlankNumber(double value);
