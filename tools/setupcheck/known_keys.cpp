#include "known_keys.h"

#include <algorithm>
#include <cctype>

#include "script/macros.h"
#include "script/text.h"

namespace {

constexpr const char* I = "install";
constexpr const char* U = "uninstall";
using R = Reading;

// clang-format off
const std::vector<KnownKey> kKeys = {
    // Start-up, wizard, main window and about box.
    {I, "InstallState", R::Text, "", false},
    {I, "DefaultDir", R::Path, "", false},
    {I, "ProductName", R::Text, "", false},
    {I, "ProgramName", R::Text, "", false},
    {I, "SetupTitle", R::Text, "", false},
    {I, "LogoPic", R::File, "", false},
    {I, "SetupPic", R::File, "", false},
    {I, "TilePic", R::File, "", false},
    {I, "DisplayLicense", R::Flag, "", false},
    {I, "LicenseFile", R::File, "", false},
    {I, "ComponentsSearch", R::Flag, "", false},
    {I, "Components", R::Text, "", false},
    {I, "EstimatedSize", R::Number, "", false},
    {I, "SetupColor", R::Number, "", false},
    {I, "DrawGradient", R::Flag, "", false},
    {I, "GradientRed", R::Number, "", false},
    {I, "GradientGreen", R::Number, "", false},
    {I, "GradientBlue", R::Number, "", false},
    {I, "ProductVersion", R::Text, "", false},
    {I, "ProgramAuthor", R::Text, "", false},
    {I, "ProgramInfo", R::Text, "", false},
    // Preliminary and closing actions.
    {I, "PrelimMessagesTotal", R::Count, "", false},
    {I, "PrelimMessage<N>", R::Text, "PrelimMessagesTotal", true},
    {I, "PrelimDocuExecsTotal", R::Count, "", false},
    {I, "PrelimDocuExec<N>", R::File, "PrelimDocuExecsTotal", true},
    {I, "PrelimDocuExec<N>InternalReader", R::Flag, "PrelimDocuExecsTotal", false},
    {I, "LastMessagesTotal", R::Count, "", false},
    {I, "LastMessage<N>", R::Text, "LastMessagesTotal", true},
    {I, "LastDocuExecsTotal", R::Count, "", false},
    {I, "LastDocuExecsPrompt", R::Flag, "", false},
    {I, "LastDocuExecsPromptMsg", R::Text, "", false},
    {I, "LastDocuExec<N>", R::Path, "LastDocuExecsTotal", true},
    {I, "LastExecsTotal", R::Count, "", false},
    {I, "LastExecsPrompt", R::Flag, "", false},
    {I, "LastExecsPromptMsg", R::Text, "", false},
    {I, "LastExec<N>", R::Path, "LastExecsTotal", true},
    // Install pass one.
    {I, "RemovePrev", R::Flag, "", false},
    {I, "EstablishSetup", R::Flag, "", false},
    {I, "KillFilesTotal", R::Count, "", false},
    {I, "KillFile<N>", R::Path, "KillFilesTotal", true},
    {I, "KillRegKeysTotal", R::Count, "", false},
    {I, "KillRegKey<N>Root", R::Root, "KillRegKeysTotal", false},
    {I, "KillRegKey<N>Folder", R::Text, "KillRegKeysTotal", true},
    {I, "MoveFilesTotal", R::Count, "", false},
    {I, "MoveFile<N>", R::Path, "MoveFilesTotal", true},
    {I, "MoveFile<N>To", R::Path, "MoveFilesTotal", true},
    {I, "TotalFiles", R::Count, "", false},
    {I, "srcfile<N>", R::File, "TotalFiles", true},
    {I, "destfile<N>", R::Path, "TotalFiles", true},
    {I, "srcfile<N>Unconditional", R::Flag, "TotalFiles", false},
    {I, "srcfile<N>NoOverwrite", R::Flag, "TotalFiles", false},
    {I, "srcfile<N>NoUninstall", R::Flag, "TotalFiles", false},
    {I, "SrcFile<N>NoErrorCheck", R::Flag, "TotalFiles", false},
    {I, "DestFileFont<N>", R::Text, "TotalFiles", false},
    // Install pass two.
    {I, "TotalOcxs", R::Count, "", false},
    {I, "OcxSrc<N>", R::File, "TotalOcxs", true},
    {I, "OcxDest<N>", R::Path, "TotalOcxs", true},
    {I, "OcxSrc<N>NoErrorCheck", R::Flag, "TotalOcxs", false},
    {I, "TotalRegKeys", R::Count, "", false},
    {I, "RegKeyRoot<N>", R::Root, "TotalRegKeys", false},
    {I, "RegKeySubKey<N>", R::Text, "TotalRegKeys", true},
    {I, "RegKeyValueName<N>", R::Text, "TotalRegKeys", false},
    {I, "RegKeyValue<N>", R::Text, "TotalRegKeys", false},
    {I, "RegKeyValueIsPath<N>", R::Flag, "TotalRegKeys", false},
    {I, "RegKeyUninstall<N>", R::Text, "TotalRegKeys", false},
    {I, "TotalRegExts", R::Count, "", false},
    {I, "RegExt<N>", R::Text, "TotalRegExts", false},
    {I, "RegExt<N>key", R::Text, "TotalRegExts", false},
    {I, "RegExt<N>ShellNew", R::Flag, "TotalRegExts", false},
    {I, "RegExt<N>Desc", R::Text, "TotalRegExts", false},
    {I, "RegExt<N>IsShortcut", R::Flag, "TotalRegExts", false},
    {I, "RegExt<N>Icon", R::Text, "TotalRegExts", false},
    {I, "RegExt<N>Commands", R::Text, "TotalRegExts", false},
    {I, "TotalShortcuts", R::Count, "", false},
    {I, "DefaultShortcutFolder", R::Text, "", false},
    {I, "Shortcut<N>", R::Path, "TotalShortcuts", true},
    {I, "Shortcut<N>Folder", R::Text, "TotalShortcuts", false},
    {I, "Shortcut<N>Desc", R::Text, "TotalShortcuts", true},
    // What an installation records in its copy of the script.
    {U, "DestPath", R::Text, "", false},
    {U, "uninstallfilestotal", R::Count, "", false},
    {U, "file<N>", R::Text, "", false},
    {U, "ext<N>", R::Text, "", false},
    {U, "shortcut<N>", R::Text, "", false},
    {U, "shortcutfolder<N>", R::Text, "", false},
};
// clang-format on

// The item number spelt as the program spells it: decimal digits, no leading zero.
std::optional<int> ItemNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 5 || digits[0] == '0') return std::nullopt;
    int number = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::optional<int> Match(const KnownKey& key, std::string_view name) {
    const std::string_view pattern = key.name;
    const size_t at = pattern.find("<N>");
    if (at == std::string_view::npos)
        return EqualsNoCase(pattern, name) ? std::optional<int>(0) : std::nullopt;
    const std::string_view prefix = pattern.substr(0, at), suffix = pattern.substr(at + 3);
    if (name.size() <= prefix.size() + suffix.size()) return std::nullopt;
    if (!EqualsNoCase(name.substr(0, prefix.size()), prefix)) return std::nullopt;
    if (!EqualsNoCase(name.substr(name.size() - suffix.size()), suffix)) return std::nullopt;
    return ItemNumber(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
}

// Edit distance, letter case ignored.
size_t Distance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

const std::vector<KnownKey>& KnownKeys() {
    return kKeys;
}

std::optional<KeyMatch> MatchKnownKey(std::string_view name, std::string_view section) {
    for (const KnownKey& key : kKeys) {
        if (!EqualsNoCase(key.section, section)) continue;
        if (auto number = Match(key, name)) return KeyMatch{&key, *number};
    }
    return std::nullopt;
}

std::optional<KeyMatch> MatchKnownKeyAnywhere(std::string_view name) {
    if (auto match = MatchKnownKey(name, "install")) return match;
    return MatchKnownKey(name, "uninstall");
}

std::string KeyName(const KnownKey& key, int number) {
    std::string name = key.name;
    if (const size_t at = name.find("<N>"); at != std::string::npos)
        name.replace(at, 3, std::to_string(number));
    return name;
}

std::string ClosestKnownKey(std::string_view name) {
    // The misspelt key's first run of digits is taken as its item number.
    int number = 1;
    if (const size_t at = name.find_first_of("0123456789"); at != std::string_view::npos) {
        const size_t end = name.find_first_not_of("0123456789", at);
        number = std::stoi(std::string(name.substr(at, std::min<size_t>(end - at, 5))));
        if (number < 1) number = 1;
    }
    std::string best;
    size_t bestDistance = std::max<size_t>(2, name.size() / 4) + 1;
    for (const KnownKey& key : kKeys) {
        if (key.section != std::string_view("install")) continue;
        const std::string candidate = KeyName(key, number);
        const size_t distance = Distance(name, candidate);
        if (distance < bestDistance) bestDistance = distance, best = candidate;
    }
    return best;
}

bool IsKnownFolderMacro(std::string_view name) {
    for (const char* macro : {"default", "windows", "system", "programfiles", "commonfiles"})
        if (EqualsNoCase(name, macro)) return true;
    return IsShellFolderName(name);
}
