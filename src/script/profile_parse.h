// The reading rules of profile (INI) files, the same as the system's profile functions
// with a 512-character buffer, and the parsed form of a file's text that the reader
// answers from and the writer edits.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Blanks of a profile line: tab, LF, VT, FF, CR, Ctrl-Z and space.
bool IsProfileSpace(char c);
std::string_view TrimProfileSpaces(std::string_view text);
std::string_view CutAtNull(std::string_view text);
// A-Z folded to a-z, every other byte kept.
std::string FoldName(std::string_view name);

struct ProfileKey {
    bool hasValue = false;
    size_t valueStart = 0;  // where the value starts (or the trimmed line ends, without '=')
    size_t valueLength = 0; // the value, trimmed and cut at NUL, is kept only in the text
    size_t lineEnd = 0;     // end of the trimmed line
};

struct ProfileSection {
    std::unordered_map<std::string, ProfileKey> keys; // folded name -> first key of that name
    size_t insertAt = 0; // just after the line break that ends the section's last line
};

// A file's text (ANSI) and what it holds.
struct ParsedProfile {
    std::string text;
    std::vector<ProfileSection> sections;                 // [0]: the lines before the first section line
    std::unordered_map<std::string, size_t> firstSection; // folded name -> its first section

    // Parses the whole text anew.
    void ParseAll();
    // Parses the text from `from` on (text appended after a line break), continuing the
    // last section.
    void ParseFrom(size_t from);

    // Index of the first section of that name (a query name); npos when there is none.
    size_t FindSection(std::string_view section) const;
    // The key as the file holds it (names as a query gives them: up to a NUL, trimmed,
    // case ignored); nullptr when the section or the key is missing.
    const ProfileKey* Find(std::string_view section, std::string_view key) const;
    // The value of the key as read, cut to 511 characters and freed of one pair of quotes;
    // empty when it is missing.
    std::string Read(std::string_view section, std::string_view key) const;
    std::string_view ValueOf(const ProfileKey& key) const {
        return std::string_view(text).substr(key.valueStart, key.valueLength);
    }
};
