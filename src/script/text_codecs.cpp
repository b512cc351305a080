#include "script/text_codecs.h"

namespace {

constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LEMark = "\xFF\xFE";
constexpr std::string_view Utf16BEMark = "\xFE\xFF";

char32_t AnsiToUnicode(unsigned char c) {
    return (c >= 0x80 && c < 0xA0) ? Cp1252High[c - 0x80] : c;
}

char UnicodeToAnsi(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return static_cast<char>(u);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == u) return static_cast<char>(0x80 + i);
    return '?';
}

std::string Utf8ToAnsi(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80             ? 0
                          : (lead & 0xE0) == 0xC0 ? 1
                          : (lead & 0xF0) == 0xE0 ? 2
                          : (lead & 0xF8) == 0xF0 ? 3
                                                  : -1;
        char32_t code = extra == 0   ? lead
                        : extra == 1 ? (lead & 0x1F)
                        : extra == 2 ? (lead & 0x0F)
                                     : (lead & 0x07);
        bool valid = extra >= 0 && i + extra < bytes.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            else
                code = code << 6 | (next & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        // A character beyond the 16-bit range is two UTF-16 units, each unknown here.
        if (code > 0xFFFF)
            out += "??";
        else
            out += UnicodeToAnsi(code);
        i += extra + 1;
    }
    return out;
}

std::string AnsiToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const char32_t u = AnsiToUnicode(static_cast<unsigned char>(c));
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string Utf16ToAnsi(std::string_view bytes, bool little) {
    std::string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned lo = static_cast<unsigned char>(bytes[i + (little ? 0 : 1)]);
        const unsigned hi = static_cast<unsigned char>(bytes[i + (little ? 1 : 0)]);
        out += UnicodeToAnsi(hi << 8 | lo);
    }
    return out;
}

std::string AnsiToUtf16(std::string_view text, bool little) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        const char32_t u = AnsiToUnicode(static_cast<unsigned char>(c));
        const char units[2] = {static_cast<char>(little ? u & 0xFF : u >> 8),
                               static_cast<char>(little ? u >> 8 : u & 0xFF)};
        out.append(units, 2);
    }
    return out;
}

} // namespace

TextEncoding EncodingOf(std::string_view bytes) {
    if (bytes.substr(0, 3) == Utf8Mark) return TextEncoding::Utf8;
    if (bytes.substr(0, 2) == Utf16LEMark) return TextEncoding::Utf16LE;
    if (bytes.substr(0, 2) == Utf16BEMark) return TextEncoding::Utf16BE;
    return TextEncoding::Ansi;
}

std::string DecodeText(std::string_view bytes) {
    switch (EncodingOf(bytes)) {
    case TextEncoding::Utf8:
        return Utf8ToAnsi(bytes.substr(Utf8Mark.size()));
    case TextEncoding::Utf16LE:
        return Utf16ToAnsi(bytes.substr(Utf16LEMark.size()), true);
    case TextEncoding::Utf16BE:
        return Utf16ToAnsi(bytes.substr(Utf16BEMark.size()), false);
    default:
        return std::string(bytes);
    }
}

std::string EncodeText(TextEncoding encoding, std::string_view text, bool withMark) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return std::string(withMark ? Utf8Mark : "") + AnsiToUtf8(text);
    case TextEncoding::Utf16LE:
        return std::string(withMark ? Utf16LEMark : "") + AnsiToUtf16(text, true);
    case TextEncoding::Utf16BE:
        return std::string(withMark ? Utf16BEMark : "") + AnsiToUtf16(text, false);
    default:
        return std::string(text);
    }
}
