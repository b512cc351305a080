#include "code_page.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Windows-1252's bytes 0x80 to 0x9F; the rest are the same code points as in ISO 8859-1.
// The five bytes it leaves unused map to the control characters of the same number, as
// Windows' own conversion does.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at text[i], or 0 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
size_t Utf8SequenceAt(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    const unsigned char second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

} // namespace

std::string Utf8ToAnsi(std::string_view text, int codePage) {
    if (codePage == 65001) return std::string(text);
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8SequenceAt(text, i);
        if (length == 0) return std::string(text);
        char32_t c = static_cast<unsigned char>(text[i]) & (length == 1 ? 0x7F : 0x7F >> length);
        for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        const bool latin1 = c < 0x100 && (codePage == 28591 || c < 0x80 || c >= 0xA0);
        char byte = latin1 ? static_cast<char>(c) : '?';
        if (!latin1 && codePage == 1252)
            for (int k = 0; k < 32; ++k)
                if (kWindows1252High[k] == c) byte = static_cast<char>(0x80 + k);
        out += byte;
    }
    return out;
}

bool CodePageSupported(int codePage) {
    if (codePage == 1252 || codePage == 28591 || codePage == 65001) return true;
#ifdef _WIN32
    return codePage > 0 && codePage < 65536 && IsValidCodePage(static_cast<UINT>(codePage));
#else
    return false;
#endif
}

std::string AnsiToUtf8(std::string_view text, int codePage) {
    std::string out;
    if (codePage == 65001) {
        for (size_t i = 0; i < text.size();) {
            const size_t length = Utf8SequenceAt(text, i);
            if (length == 0)
                AppendUtf8(out, 0xFFFD), ++i;
            else
                out.append(text.substr(i, length)), i += length;
        }
        return out;
    }
    if (codePage == 1252 || codePage == 28591) {
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            AppendUtf8(out, codePage == 1252 && byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80]
                                                                            : byte);
        }
        return out;
    }
#ifdef _WIN32
    if (text.empty()) return out;
    const UINT page = static_cast<UINT>(codePage);
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(page, 0, text.data(), size, nullptr, 0);
    std::wstring utf16(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(page, 0, text.data(), size, utf16.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, out.data(), bytes, nullptr, nullptr);
#endif
    return out;
}
