#include "script_lines.h"

#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "script/text.h"

namespace {

bool IsSpace(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0x09 && u <= 0x0d) || u == 0x1a || u == 0x20;
}

std::string Trim(std::string_view text) {
    size_t s = 0, e = text.size();
    while (s < e && IsSpace(text[s])) ++s;
    while (e > s && IsSpace(text[e - 1])) --e;
    return std::string(text.substr(s, e - s));
}

} // namespace

std::optional<ScriptLines> ScriptLines::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3); // the reader skips a UTF-8 byte-order mark too

    ScriptLines lines;
    std::set<std::string> sectionsSeen, keysSeen; // folded names
    std::string section;
    bool firstSection = true;
    int number = 0;
    for (size_t pos = 0; pos <= text.size();) {
        // A CR LF pair ends one line; a lone CR or LF ends one too.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        ++number;
        const std::string line = Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[' && line.rfind(']') != std::string::npos && line.rfind(']') > 0) {
            section = Trim(std::string_view(line).substr(1, line.rfind(']') - 1));
            firstSection = sectionsSeen.insert(LowerCase(section)).second;
            lines.sections_.push_back({section, number, firstSection});
            continue;
        }
        const std::string key = Trim(std::string_view(line).substr(0, line.find('=')));
        const bool firstKey = keysSeen.insert(LowerCase(section) + "\n" + LowerCase(key)).second;
        lines.keys_.push_back({section, key, number, firstSection && firstKey});
    }
    return lines;
}

int ScriptLines::LineOf(std::string_view key, std::string_view section) const {
    for (const ScriptLine& line : keys_)
        if (line.read && EqualsNoCase(line.key, key) && EqualsNoCase(line.section, section)) return line.line;
    return 0;
}

int ScriptLines::SectionLine(std::string_view section) const {
    for (const ScriptSection& s : sections_)
        if (s.first && EqualsNoCase(s.name, section)) return s.line;
    return 0;
}
