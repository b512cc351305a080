// The encodings of profile files. Scripts are ANSI text (Windows-1252); files with a
// byte-order mark are read as the system reads them: UTF-8 and UTF-16 text is brought into
// the ANSI code page, and a character that has no place there (or a byte that is not
// valid UTF-8) reads as '?'.
#pragma once
#include <string>
#include <string_view>

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// The encoding a file's bytes announce by their byte-order mark (none: ANSI).
TextEncoding EncodingOf(std::string_view bytes);
// The file's text in ANSI, without the byte-order mark. A last odd byte of UTF-16 is dropped.
std::string DecodeText(std::string_view bytes);
// Text in the given encoding; `withMark` puts the byte-order mark in front.
std::string EncodeText(TextEncoding encoding, std::string_view text, bool withMark);
