// Text and path helpers shared by every part of the program. Portable: no platform calls.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits text at every occurrence of separator (case-sensitive). The pieces are in
// slots 1..count of `pieces`; slot 0 is always empty. Returns the count: the empty
// text gives one empty piece, a separator at the end an empty last piece. The count is
// 16-bit: a text with more pieces has the rest, separators included, in piece 32767. An
// empty separator splits nothing (the whole text is piece 1).
int16_t SplitText(std::vector<std::string>& pieces, std::string_view text, std::string_view separator);

// Part of a path: 0 folder (with trailing backslash unless keepBackslash is false),
// 1 file name, 2 extension, 3 name without extension, any other number the empty text.
// A path that ends in a backslash is returned unchanged whatever the part.
std::string GetPathPart(std::string_view path, int16_t part = 0, bool keepBackslash = true);
// A folder path as the system stores it: each level that a backslash ends loses its
// trailing dots and blanks, as Windows drops them when it makes or opens the folder
// (C:\Work2. .\ is C:\Work2\). A level of nothing else (., ..) stays as it is, and so does
// the text after the last backslash, to which names are joined (a Setup folder beside it).
std::string StoredFolderPath(std::string_view path);

// The text up to its first NUL character.
std::string TrimAtNull(std::string_view text);

// The file name (the part after the last backslash) holds a wildcard, * or ?: it names no one
// file but a pattern, which matches every file of that form.
bool NameHoldsWildcard(std::string_view path);

// Blanks (spaces) removed from both ends, as the program trims script values.
std::string TrimBlanks(std::string_view text);
// A message's lines on one line: each run of line breaks becomes one blank (none where a
// blank is there already), for a line of the log or of a plan.
std::string OnOneLine(std::string_view text);
// Letter case means the letters A to Z: other bytes are kept as they are, so that texts in
// any code page (multi-byte ones included) stay intact.
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Position of the first occurrence of `find` in `text`, letter case ignored; npos if none.
size_t FindNoCase(std::string_view text, std::string_view find, size_t from = 0);
