// The writer's rules, as WritePrivateProfileStringA writes: names are stored trimmed and
// the value without leading blanks; an existing key gets its new value in its own line
// (its name keeps its spelling), a new key goes after the last line of the first section
// of that name, a new section goes at the end. Every other line stays as it was.
#pragma once
#include <string>
#include <string_view>

#include "script/profile_parse.h"

// What one write does to a file's text.
struct ProfileEdit {
    enum class Kind { None, Append, Replace };
    Kind kind = Kind::None; // None: the key already holds the value
    // Replace: the characters [at, at + length) of the old text give way to `text`.
    // Append: `text` is added at the end. The file is then written whole or appended to.
    size_t at = 0;
    size_t length = 0;
    std::string text;
};

// The edit that sets `key` in `section` to `value` (written as given: callers choose the
// letter case) in the parsed text. New keys of the file's last section and new sections
// are appended, so that the file need not be written again.
ProfileEdit PlanProfileWrite(const ParsedProfile& profile, std::string_view section, std::string_view key,
                             std::string_view value);
