#include "script/profile_parse.h"

namespace {

// ---------------------------------------------------------------------------
// Reading rules (the same as the system's profile functions):
// - Lines end at any run of CR and LF characters; each line is trimmed of blanks, tabs,
//   CR, LF, VT, FF and Ctrl-Z at both ends; empty lines are skipped.
// - A line starting with '[' that contains a ']' starts a section named by the text
//   between the '[' and the LAST ']', trimmed; text after that ']' is ignored. A '[' line
//   without ']' is an ordinary line.
// - Any other line is a key: the name is the text before the first '=', trimmed; the
//   value the text after it, trimmed. A line without '=' is a key without a value
//   (reads as empty). Comment lines (';') are nothing special: they are keys that no
//   sensible query names.
// - Lines before the first section line belong to a section with the empty name.
// - Names and values end at a NUL character.
// - Section and key names are compared with the letter case of A-Z ignored.
// - With duplicate sections only the FIRST one is searched (keys in a later section of
//   the same name are never found); with duplicate keys the first one wins.
// - A value enclosed in matching single or double quotes loses them, as a 512-character
//   buffer shows it: the result is at most 511 characters; an opening quote is dropped
//   whenever a matching closing quote ends the value, but the closing quote only goes
//   when the value after the opening quote is at most 512 characters long. So a quoted
//   text of exactly 512 characters after its opening quote reads as its first 510 ones.
// ---------------------------------------------------------------------------

constexpr size_t ValueLimit = 511;

// A query name as the profile functions take it: up to a NUL, trimmed, case folded.
std::string QueryName(std::string_view name) {
    return FoldName(TrimProfileSpaces(CutAtNull(name)));
}
// A name as the file holds it: trimmed first, then ended at a NUL.
std::string StoredName(std::string_view name) {
    return FoldName(CutAtNull(TrimProfileSpaces(name)));
}

std::string ValueAsRead(std::string_view value) {
    if (value.size() >= 2 && (value[0] == '\'' || value[0] == '"') && value.back() == value[0]) {
        const std::string_view inner = value.substr(1); // still ends in the closing quote
        std::string result(inner.substr(0, ValueLimit));
        if (inner.size() <= ValueLimit + 1) result.pop_back();
        return result;
    }
    return std::string(value.substr(0, ValueLimit));
}

size_t AfterFirstLineBreak(const std::string& text, size_t contentEnd, size_t nextLine) {
    if (nextLine == contentEnd) return contentEnd;
    if (text[contentEnd] == '\r' && contentEnd + 1 < nextLine && text[contentEnd + 1] == '\n')
        return contentEnd + 2;
    return contentEnd + 1;
}

} // namespace

bool IsProfileSpace(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0x09 && u <= 0x0d) || u == 0x1a || u == 0x20;
}

std::string_view TrimProfileSpaces(std::string_view text) {
    size_t s = 0, e = text.size();
    while (s < e && IsProfileSpace(text[s])) ++s;
    while (e > s && IsProfileSpace(text[e - 1])) --e;
    return text.substr(s, e - s);
}

std::string_view CutAtNull(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

void ParsedProfile::ParseAll() {
    sections.clear();
    firstSection.clear();
    sections.emplace_back();
    firstSection.emplace("", 0);
    ParseFrom(0);
}

void ParsedProfile::ParseFrom(size_t from) {
    const size_t end = text.size();
    size_t pos = from;
    while (pos < end) {
        const size_t lineStart = pos;
        while (pos < end && text[pos] != '\n' && text[pos] != '\r') ++pos;
        const size_t contentEnd = pos;
        while (pos < end && (text[pos] == '\n' || text[pos] == '\r')) ++pos;
        const std::string_view line =
            TrimProfileSpaces(std::string_view(text).substr(lineStart, contentEnd - lineStart));
        if (line.empty()) continue;
        const size_t s = static_cast<size_t>(line.data() - text.data());
        if (line[0] == '[') {
            const size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                const std::string name = StoredName(line.substr(1, close - 1));
                sections.emplace_back();
                sections.back().insertAt = AfterFirstLineBreak(text, contentEnd, pos);
                firstSection.try_emplace(name, sections.size() - 1);
                continue;
            }
        }
        ProfileKey entry;
        entry.lineEnd = s + line.size();
        std::string_view name = line;
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            name = line.substr(0, equals);
            size_t v = equals + 1;
            while (v < line.size() && IsProfileSpace(line[v])) ++v;
            entry.hasValue = true;
            entry.valueStart = s + v;
            entry.valueLength = CutAtNull(line.substr(v)).size();
        } else {
            entry.valueStart = entry.lineEnd;
        }
        ProfileSection& section = sections.back();
        section.keys.try_emplace(StoredName(name), std::move(entry));
        section.insertAt = AfterFirstLineBreak(text, contentEnd, pos);
    }
}

size_t ParsedProfile::FindSection(std::string_view section) const {
    const auto at = firstSection.find(QueryName(section));
    return at == firstSection.end() ? std::string::npos : at->second;
}

const ProfileKey* ParsedProfile::Find(std::string_view section, std::string_view key) const {
    const size_t index = FindSection(section);
    if (index == std::string::npos) return nullptr;
    const ProfileSection& found = sections[index];
    const auto keyAt = found.keys.find(QueryName(key));
    return keyAt == found.keys.end() ? nullptr : &keyAt->second;
}

std::string ParsedProfile::Read(std::string_view section, std::string_view key) const {
    const ProfileKey* found = Find(section, key);
    return found && found->hasValue ? ValueAsRead(ValueOf(*found)) : std::string();
}
