// Letter case as the system's ANSI code page has it (É and é in Windows-1252, their
// Cyrillic pairs in Windows-1251), for the texts the program stores or shows in lower case.
#pragma once
#include <string>
#include <string_view>

std::string SystemLowerCase(std::string_view text);
