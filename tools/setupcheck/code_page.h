// The script's text as UTF-8: a script is written in the ANSI code page of the Windows it
// is made for (Windows-1252 on a Western system), and JSON readers take UTF-8 only.
#pragma once
#include <string>
#include <string_view>

inline constexpr int kWesternCodePage = 1252;

// The code page can be converted here: 1252 (Western Windows), 28591 (ISO 8859-1) and 65001
// (UTF-8) everywhere; on Windows also every other code page that the system has.
bool CodePageSupported(int codePage);
// The text in the code page as UTF-8 (for a code page that is supported). Bytes that are no
// character of the code page come out as U+FFFD; Windows-1252's five unused bytes come out as
// the control characters of the same number, as Windows itself converts them.
std::string AnsiToUtf8(std::string_view text, int codePage);
// The other way, for what is typed on a Linux command line (UTF-8) and goes into the plan
// beside the script's own texts: 1252, 28591 and 65001; a character the code page does not
// have is '?', as Windows writes it. Text that is no UTF-8 stays as it is.
std::string Utf8ToAnsi(std::string_view text, int codePage);
