#include "script/profile_parse.h"

#include <algorithm>

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

char FoldLetter(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names hash and compare with the letter case of A-Z ignored, so that the index needs no
// folded copy of any name: it points into the text.
size_t NameHash(size_t section, std::string_view name) {
    uint64_t hash = 14695981039346656037ULL ^ (section * 0x9E3779B97F4A7C15ULL);
    for (char c : name) {
        hash ^= static_cast<unsigned char>(FoldLetter(c));
        hash *= 1099511628211ULL;
    }
    return static_cast<size_t>(hash ^ (hash >> 29));
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldLetter(a[i]) != FoldLetter(b[i])) return false;
    return true;
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
    for (char& c : folded) c = FoldLetter(c);
    return folded;
}

void ParsedProfile::ParseAll() {
    sections.clear();
    firstSection.clear();
    keys.clear();
    slots_.clear();
    // The index is made in one piece for about as many keys as the text has lines, so
    // that a long script leaves no trail of outgrown copies behind in the heap. (Only the
    // part used is ever touched; a reservation for 2^20 keys is the most made at once.)
    const size_t lines = std::min<size_t>(std::count(text.begin(), text.end(), '\n') + 1, size_t{1} << 20);
    keys.reserve(lines);
    size_t slots = 64;
    while (slots < 2 * lines) slots *= 2;
    slots_.assign(slots, 0);
    sections.emplace_back();
    firstSection.emplace("", 0);
    ParseFrom(0);
}

void ParsedProfile::ParseFrom(size_t from) {
    const size_t end = std::min<size_t>(text.size(), UINT32_MAX);
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
                sections.emplace_back();
                sections.back().name = StoredName(line.substr(1, close - 1));
                sections.back().insertAt = AfterFirstLineBreak(text, contentEnd, pos);
                firstSection.try_emplace(sections.back().name, sections.size() - 1);
                continue;
            }
        }
        ProfileKey entry;
        entry.lineEnd = static_cast<uint32_t>(s + line.size());
        std::string_view name = line;
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            name = line.substr(0, equals);
            size_t v = equals + 1;
            while (v < line.size() && IsProfileSpace(line[v])) ++v;
            entry.hasValue = true;
            entry.valueStart = static_cast<uint32_t>(s + v);
            entry.valueLength = static_cast<uint32_t>(CutAtNull(line.substr(v)).size());
        } else {
            entry.valueStart = entry.lineEnd;
        }
        // The name as stored: trimmed first, then ended at a NUL. The first key of a name wins.
        const std::string_view stored = CutAtNull(TrimProfileSpaces(name));
        entry.nameStart = static_cast<uint32_t>(stored.data() - text.data());
        entry.nameLength = static_cast<uint32_t>(stored.size());
        entry.section = static_cast<uint32_t>(sections.size() - 1);
        if (Lookup(entry.section, stored) == std::string::npos) {
            if ((keys.size() + 1) * 2 > slots_.size()) Grow();
            keys.push_back(entry);
            Insert(static_cast<uint32_t>(keys.size() - 1), NameHash(entry.section, stored));
        }
        sections.back().insertAt = AfterFirstLineBreak(text, contentEnd, pos);
    }
}

size_t ParsedProfile::FindSection(std::string_view section) const {
    const auto at = firstSection.find(QueryName(section));
    return at == firstSection.end() ? std::string::npos : at->second;
}

const ProfileKey* ParsedProfile::Find(std::string_view section, std::string_view key) const {
    const size_t index = FindSection(section);
    if (index == std::string::npos) return nullptr;
    const size_t at = Lookup(index, TrimProfileSpaces(CutAtNull(key)));
    return at == std::string::npos ? nullptr : &keys[at];
}

size_t ParsedProfile::Lookup(size_t section, std::string_view name) const {
    if (slots_.empty()) return std::string::npos;
    const size_t mask = slots_.size() - 1;
    for (size_t i = NameHash(section, name) & mask; slots_[i] != 0; i = (i + 1) & mask) {
        const ProfileKey& key = keys[slots_[i] - 1];
        if (key.section == section && SameName(NameOf(key), name)) return slots_[i] - 1;
    }
    return std::string::npos;
}

void ParsedProfile::Insert(uint32_t index, size_t hash) {
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = index + 1;
}

void ParsedProfile::Grow() {
    slots_.assign(std::max<size_t>(64, slots_.size() * 2), 0);
    for (size_t k = 0; k < keys.size(); ++k)
        Insert(static_cast<uint32_t>(k), NameHash(keys[k].section, NameOf(keys[k])));
}

std::string ParsedProfile::Read(std::string_view section, std::string_view key) const {
    const ProfileKey* found = Find(section, key);
    return found && found->hasValue ? ValueAsRead(ValueOf(*found)) : std::string();
}
