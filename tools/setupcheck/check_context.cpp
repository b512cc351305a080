#include "findings.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "script/text.h"
#include "script/values.h"
#include "script_access.h"

CheckContext::CheckContext(std::string scriptPath, ScriptLines lines)
    : path_(std::move(scriptPath)), lines_(std::move(lines)) {
    std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        files_.push_back(LowerCase(entry.path().filename().string()));
}

std::string CheckContext::Read(std::string_view key, std::string_view section) const {
    return ReadScriptValue(path_, key, section);
}

int CheckContext::Count(std::string_view countKey) const {
    const std::string text = Read(countKey);
    return ReadNumber(text) > 0 ? ReadCount(text) : 0;
}

bool CheckContext::Flag(std::string_view key) const {
    return ReadFlag(Read(key));
}

std::vector<PresentKey> CheckContext::ReadKeys() const {
    std::vector<PresentKey> keys;
    for (const ScriptLine& line : lines_.Keys()) {
        if (!line.read || !EqualsNoCase(line.section, "install")) continue;
        const auto match = MatchKnownKey(line.key, "install");
        if (!match) continue;
        if (*match->key->countKey && match->number > Count(match->key->countKey)) continue;
        keys.push_back({&line, *match});
    }
    return keys;
}

bool CheckContext::InDistribution(const std::string& name) const {
    return std::find(files_.begin(), files_.end(), LowerCase(name)) != files_.end();
}

void CheckContext::Warn(int line, std::string_view rule, std::string message) {
    findings_.push_back({line, Severity::Warning, std::string(rule), std::move(message)});
}

void CheckContext::Error(int line, std::string_view rule, std::string message) {
    findings_.push_back({line, Severity::Error, std::string(rule), std::move(message)});
}

std::vector<Finding> CheckScript(const std::string& path) {
    auto lines = ScriptLines::Load(path);
    if (!lines) return {{0, Severity::Error, "no-script", "cannot read the script"}};
    CheckContext c(path, std::move(*lines));
    for (auto rule : {CheckKeyNames, CheckCounts, CheckListItems, CheckFlagWords, CheckInstallState,
                      CheckDefaultDir, CheckFolderMacros, CheckAbsolutePaths, CheckUninstallQuotes,
                      CheckSharedFolders, CheckWildcardDestinations, CheckRegistryRoots, CheckFileTypes,
                      CheckProductName, CheckSourceFiles, CheckSetupPrograms, CheckRecordLimit})
        rule(c);
    std::vector<Finding> findings = std::move(c.Findings());
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return findings;
}
