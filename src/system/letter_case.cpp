#include "system/letter_case.h"

#include <windows.h>

std::string SystemLowerCase(std::string_view text) {
    std::string lower(text);
    // The system knows the code page's letters and leaves the bytes of double-byte
    // characters alone.
    if (!lower.empty()) CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}
