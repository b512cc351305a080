#include "script/profile_write.h"

namespace {

// The line break the file already uses (CR LF for a file without any).
std::string LineBreakOf(const std::string& text) {
    const size_t lf = text.find('\n');
    if (lf == std::string::npos) return text.find('\r') != std::string::npos ? "\r" : "\r\n";
    return (lf > 0 && text[lf - 1] == '\r') ? "\r\n" : "\n";
}

bool EndsLine(char c) {
    return c == '\n' || c == '\r';
}

} // namespace

ProfileEdit PlanProfileWrite(const ParsedProfile& profile, std::string_view section, std::string_view key,
                             std::string_view value) {
    const std::string sectionName(TrimProfileSpaces(CutAtNull(section)));
    const std::string keyName(TrimProfileSpaces(CutAtNull(key)));
    std::string_view newValue = CutAtNull(value);
    while (!newValue.empty() && IsProfileSpace(newValue.front())) newValue.remove_prefix(1);

    const std::string& text = profile.text;
    const std::string lineBreak = LineBreakOf(text);
    const std::string keyLine = keyName + "=" + std::string(newValue) + lineBreak;
    ProfileEdit edit;
    const size_t sectionAt = profile.FindSection(sectionName);
    if (sectionAt == std::string::npos) {
        edit.kind = ProfileEdit::Kind::Append;
        edit.text = "[" + sectionName + "]" + lineBreak + keyLine;
    } else if (const ProfileKey* entry = profile.Find(sectionName, keyName)) {
        if (entry->hasValue && profile.ValueOf(*entry) == newValue) return edit; // nothing changes
        edit.kind = ProfileEdit::Kind::Replace;
        edit.at = entry->valueStart;
        edit.length = entry->lineEnd - entry->valueStart;
        edit.text = (entry->hasValue ? "" : "=") + std::string(newValue);
        return edit;
    } else if (sectionAt + 1 == profile.sections.size()) {
        // A new key of the file's last section: appended, the file is not rewritten.
        edit.kind = ProfileEdit::Kind::Append;
        edit.text = keyLine;
    } else {
        edit.kind = ProfileEdit::Kind::Replace;
        edit.at = profile.sections[sectionAt].insertAt;
        edit.text = (edit.at > 0 && !EndsLine(text[edit.at - 1])) ? lineBreak + keyLine : keyLine;
        return edit;
    }
    // An appended text starts on a line of its own.
    if (!text.empty() && !EndsLine(text.back())) edit.text.insert(0, lineBreak);
    return edit;
}
