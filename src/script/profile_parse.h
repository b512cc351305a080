// The reading rules of profile (INI) files, the same as the system's profile functions
// with a 512-character buffer, and the parsed form of a file's text that the reader
// answers from and the writer edits.
#pragma once
#include <cstddef>
#include <cstdint>
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

// Offsets into the text are 32-bit: an index entry costs 28 bytes, so that a script of
// tens of thousands of keys (the installed script repeats the product's whole file list)
// is indexed in about a megabyte. Text beyond 4 GB is not read; no script comes near it.
struct ProfileKey {
    uint32_t nameStart = 0; // the name as the file holds it: trimmed, then ended at a NUL
    uint32_t nameLength = 0;
    uint32_t valueStart = 0;  // where the value starts (or the trimmed line ends, without '=')
    uint32_t valueLength = 0; // the value, trimmed and cut at NUL, is kept only in the text
    uint32_t lineEnd = 0;     // end of the trimmed line
    uint32_t section = 0;     // index of the section line above it
    bool hasValue = false;
};

struct ProfileSection {
    std::string name;    // folded
    size_t insertAt = 0; // just after the line break that ends the section's last line
};

// A file's text (ANSI) and what it holds.
struct ParsedProfile {
    std::string text;
    std::vector<ProfileSection> sections;                 // [0]: the lines before the first section line
    std::unordered_map<std::string, size_t> firstSection; // folded name -> its first section
    std::vector<ProfileKey> keys;                         // the first key of each name in its section

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
    std::string_view NameOf(const ProfileKey& key) const {
        return std::string_view(text).substr(key.nameStart, key.nameLength);
    }

  private:
    // An open-addressing table over `keys` (index + 1; 0 is a free slot), its size a
    // power of two and at most half full.
    std::vector<uint32_t> slots_;

    size_t Lookup(size_t section, std::string_view name) const; // index in keys, or npos
    void Insert(uint32_t index, size_t hash);
    void Grow();
};
