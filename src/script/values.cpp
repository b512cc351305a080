#include "script/values.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Blanks, tabs and line feeds do not count anywhere in a number ("1 2" reads as 12).
std::string WithoutBlanks(std::string_view text) {
    std::string packed;
    packed.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') packed += c;
    return packed;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// "&H..." / "&O...": the digit count decides the width, as the script's authors write
// registry roots and colours (&HFFFF is -1, &H0000FFFF is 65535).
double ReadBasedNumber(const std::string& text, size_t pos, int base) {
    const size_t shortDigits = base == 16 ? 4 : 6;
    uint64_t value = 0;
    size_t digits = 0;
    for (; pos < text.size(); ++pos) {
        const int d = DigitValue(text[pos], base);
        if (d < 0) break;
        value = value * base + d;
        ++digits;
        // A number that does not fit 32 bits reads as 0 rather than as some part of it.
        if (value > 0xFFFFFFFFull) return 0;
    }
    if (digits <= shortDigits && value <= 0xFFFFull)
        return static_cast<int16_t>(static_cast<uint16_t>(value));
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

} // namespace

double ReadNumber(std::string_view text) {
    const std::string s = WithoutBlanks(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') return ReadBasedNumber(s, 2, 16);
        if (s[1] == 'O' || s[1] == 'o') return ReadBasedNumber(s, 2, 8);
        return 0;
    }
    // Take the longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    std::string number;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) number += s[i++], ++mantissaDigits;
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && IsDigit(s[i])) number += s[i++], ++mantissaDigits;
    }
    if (mantissaDigits == 0) return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        size_t exponentDigits = 0;
        while (j < s.size() && IsDigit(s[j])) exponent += s[j++], ++exponentDigits;
        if (exponentDigits > 0) number += exponent;
    }
    errno = 0;
    double value = std::strtod(number.c_str(), nullptr);
    // A number too large for a double reads as the largest one of its sign; one too
    // small to tell from 0 reads as 0.
    if (std::isinf(value)) value = value > 0 ? DBL_MAX : -DBL_MAX;
    if (value == 0) value = 0; // no negative zero
    return value;
}

bool ReadFlag(std::string_view text) {
    return ReadNumber(text) != 0;
}

int16_t ReadCount(std::string_view text) {
    const double rounded = std::nearbyint(ReadNumber(text));
    // A list cannot hold more than 32767 items; a count beyond that is taken as the
    // longest possible list, and one far below zero as an empty list.
    if (rounded > 32767) return 32767;
    if (rounded < -32768) return 0;
    return static_cast<int16_t>(rounded);
}

std::optional<int16_t> RoundToInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < -32768 || rounded > 32767) return std::nullopt;
    return static_cast<int16_t>(rounded);
}

std::optional<int32_t> RoundToInt32(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<int32_t>(rounded);
}

int32_t ReadRegRoot(std::string_view text) {
    return RoundToInt32(ReadNumber(text)).value_or(0);
}

std::string LeadingBlankNumber(double value) {
    if (!std::isfinite(value)) value = 0;
    if (value == 0) value = 0; // "-0" is shown as " 0"
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    // Exponents are shown with at least two digits and no more ("1E+20", "1E-05").
    const size_t e = text.find('E');
    if (e != std::string::npos && e + 2 < text.size()) {
        size_t digitsAt = e + 2;
        while (text.size() - digitsAt > 2 && text[digitsAt] == '0') text.erase(digitsAt, 1);
    }
    return value < 0 ? text : " " + text;
}
