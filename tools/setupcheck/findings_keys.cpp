// Rules about key names, sections, list items, counts and flags.
#include <cctype>
#include <map>
#include <set>

#include "findings.h"
#include "script/text.h"
#include "script/values.h"

namespace {

bool IsReadSection(std::string_view name) {
    return EqualsNoCase(name, "install") || EqualsNoCase(name, "uninstall");
}

std::string Assignment(std::string_view key, const std::string& value) {
    return std::string(key) + "=" + value;
}

// Decimal digits with an optional sign, or a &H / &O number: a number and nothing else.
bool IsWholeNumberText(const std::string& text) {
    size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (text.size() > i + 1 && text[i] == '&') return true;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

bool BeginsWithNumber(const std::string& text) {
    return !text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])) ||
                             std::string_view("+-.&").find(text[0]) != std::string_view::npos);
}

} // namespace

// unknown-key, wrong-section, unread-section, duplicate-key: keys that setup.exe never reads.
void CheckKeyNames(CheckContext& c) {
    const ScriptLines& lines = c.Lines();
    for (const ScriptSection& section : lines.Sections()) {
        if (!IsReadSection(section.name))
            c.Warn(section.line, "unread-section", "section [" + section.name + "] is never read");
        else if (!section.first)
            c.Warn(section.line, "unread-section",
                   "section [" + section.name + "] appears again (first on line " +
                       std::to_string(lines.SectionLine(section.name)) + "): its keys are never read");
    }
    for (const ScriptLine& line : lines.Keys()) {
        if (!IsReadSection(line.section)) {
            const auto known = MatchKnownKeyAnywhere(line.key);
            if (known)
                c.Warn(line.line, "wrong-section",
                       line.key + " is read only from section [" + known->key->section + "]");
            else if (line.section.empty())
                c.Warn(line.line, "wrong-section",
                       line.key + " stands before the first section and is never read");
            continue;
        }
        if (!line.read) {
            const int first = lines.LineOf(line.key, line.section);
            if (first != 0) // otherwise the whole section is unread, said above
                c.Warn(line.line, "duplicate-key",
                       line.key + " appears again (first on line " + std::to_string(first) +
                           "): only the first is read");
            continue;
        }
        if (MatchKnownKey(line.key, line.section)) continue;
        if (const auto known = MatchKnownKeyAnywhere(line.key)) {
            c.Warn(line.line, "wrong-section",
                   line.key + " is read only from section [" + known->key->section + "]");
            continue;
        }
        std::string message = "unknown key " + line.key + " is never read";
        if (const std::string closest = ClosestKnownKey(line.key); !closest.empty())
            message += " (did you mean " + closest + "?)";
        c.Warn(line.line, "unknown-key", message);
    }
}

// item-above-count, item-missing: items that the count leaves unread or reads as empty.
void CheckListItems(CheckContext& c) {
    std::map<std::string, int> counts; // count key -> count
    for (const KnownKey& key : KnownKeys())
        if (*key.countKey && key.section == std::string_view("install")) counts[key.countKey] = 0;
    for (auto& [countKey, count] : counts) count = c.Count(countKey);

    for (const ScriptLine& line : c.Lines().Keys()) {
        if (!line.read || !EqualsNoCase(line.section, "install")) continue;
        const auto match = MatchKnownKey(line.key, "install");
        if (!match || !*match->key->countKey) continue;
        const int count = counts[match->key->countKey];
        if (match->number > count)
            c.Warn(line.line, "item-above-count",
                   line.key + " is above " + match->key->countKey + "=" + std::to_string(count) +
                       " and is never read");
    }
    for (const KnownKey& key : KnownKeys()) {
        if (!key.required || key.section != std::string_view("install")) continue;
        const int count = counts[key.countKey];
        for (int n = 1; n <= count && n <= 1000; ++n) {
            const std::string name = KeyName(key, n);
            if (c.Line(name) == 0)
                c.Warn(c.Line(key.countKey), "item-missing",
                       std::string(key.countKey) + "=" + std::to_string(count) + " but " + name +
                           " is missing: it reads as empty");
        }
    }
}

// count-not-number: a count that is not a whole number is rounded or reads as 0.
void CheckCounts(CheckContext& c) {
    for (const ScriptLine& line : c.Lines().Keys()) {
        if (!line.read || !EqualsNoCase(line.section, "install")) continue;
        const auto match = MatchKnownKey(line.key, "install");
        if (!match || match->key->reading != Reading::Count) continue;
        const std::string value = TrimBlanks(c.Read(line.key));
        if (value.empty() || IsWholeNumberText(value)) continue;
        if (!BeginsWithNumber(value) || ReadNumber(value) == 0)
            c.Warn(line.line, "count-not-number",
                   Assignment(line.key, value) + " is not a number: it reads as 0 and the list is empty");
        else
            c.Warn(line.line, "count-not-number",
                   Assignment(line.key, value) + " is not a whole number: it reads as " +
                       std::to_string(ReadCount(value)));
    }
}

// flag-word: yes, true, on are not numbers, so they read as off.
void CheckFlagWords(CheckContext& c) {
    for (const PresentKey& key : c.ReadKeys()) {
        if (key.match.key->reading != Reading::Flag) continue;
        const std::string value = TrimBlanks(c.Read(key.line->key));
        if (value.empty() || BeginsWithNumber(value)) continue;
        const std::string word = LowerCase(value);
        if (word == "no" || word == "false" || word == "off") continue;
        c.Warn(key.line->line, "flag-word",
               Assignment(key.line->key, value) +
                   " reads as off: a flag is on only as a number other than 0 (1)");
    }
}

// installed-mark: a distributed script marked installed makes setup.exe uninstall.
void CheckInstallState(CheckContext& c) {
    if (EqualsNoCase(TrimBlanks(c.Read("InstallState")), "installed") &&
        c.Lines().SectionLine("uninstall") == 0)
        c.Error(c.Line("InstallState"), "installed-mark",
                "InstallState=installed makes setup.exe remove the product instead of installing it");
}
