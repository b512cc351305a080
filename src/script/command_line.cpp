#include "script/command_line.h"

#include "script/text.h"

namespace {

bool IsBlankChar(char c) {
    return c == ' ' || c == '\t';
}

// The name that takes the rest of the line when its value is not quoted: a folder, which
// installers' command lines put last.
constexpr std::string_view kRestOfLine = "dest=";

} // namespace

CommandWords::CommandWords(std::string_view line) {
    size_t pos = 0;
    for (;;) {
        while (pos < line.size() && IsBlankChar(line[pos])) ++pos;
        if (pos == line.size()) return;
        const std::string_view rest = line.substr(pos);
        if (rest.size() > kRestOfLine.size() &&
            EqualsNoCase(rest.substr(0, kRestOfLine.size()), kRestOfLine) &&
            rest[kRestOfLine.size()] != '"' && !IsBlankChar(rest[kRestOfLine.size()])) {
            std::string value(rest.substr(kRestOfLine.size()));
            while (!value.empty() && IsBlankChar(value.back())) value.pop_back();
            std::erase(value, '"'); // a part of it in quotes: no folder's name holds a quote
            words_.push_back({"dest", value});
            return;
        }
        // A quote opens or closes a quoted part; the quotes themselves are not kept.
        std::string text;
        size_t equals = std::string::npos; // where the name ends: the first "=", quoted or not
        bool quoted = false;
        for (; pos < line.size() && (quoted || !IsBlankChar(line[pos])); ++pos) {
            if (line[pos] == '"') {
                quoted = !quoted;
                continue;
            }
            if (line[pos] == '=' && equals == std::string::npos) equals = text.size();
            text += line[pos];
        }
        if (equals == std::string::npos)
            words_.push_back({text, std::nullopt});
        else
            words_.push_back({text.substr(0, equals), text.substr(equals + 1)});
    }
}

bool CommandWords::Has(std::string_view word) const {
    for (const Word& w : words_)
        if (!w.value && EqualsNoCase(w.name, word)) return true;
    return false;
}

std::optional<std::string> CommandWords::Value(std::string_view name) const {
    std::optional<std::string> found;
    for (const Word& w : words_)
        if (w.value && EqualsNoCase(w.name, name)) found = w.value;
    return found;
}

std::string CommandArguments(std::string_view commandLine) {
    size_t pos = 0;
    while (pos < commandLine.size() && IsBlankChar(commandLine[pos])) ++pos;
    if (pos < commandLine.size() && commandLine[pos] == '"') {
        size_t close = commandLine.find('"', pos + 1);
        pos = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (pos < commandLine.size() && !IsBlankChar(commandLine[pos])) ++pos;
    }
    while (pos < commandLine.size() && IsBlankChar(commandLine[pos])) ++pos;
    return std::string(commandLine.substr(pos));
}
