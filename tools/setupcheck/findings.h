// The checks of a setup script. Each rule is one function that adds its findings to the
// context; CheckScript runs them all.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "known_keys.h"
#include "script_lines.h"

enum class Severity { Warning, Error };

struct Finding {
    int line = 0; // 0: the script as a whole
    Severity severity = Severity::Warning;
    std::string rule;
    std::string message;
};

// A key of section [install] that the program reads, with what it is.
struct PresentKey {
    const ScriptLine* line;
    KeyMatch match;
};

class CheckContext {
  public:
    CheckContext(std::string scriptPath, ScriptLines lines);

    // The key's value as setup.exe reads it.
    std::string Read(std::string_view key, std::string_view section = "install") const;
    // The list's count as the passes take it: 0 unless it reads as a number above 0.
    int Count(std::string_view countKey) const;
    bool Flag(std::string_view key) const;
    int Line(std::string_view key) const { return lines_.LineOf(key); }
    const ScriptLines& Lines() const { return lines_; }
    const std::string& ScriptPath() const { return path_; }
    // Keys of [install] that the program reads: known, found by the reader, and, for an
    // item, numbered within its list's count.
    std::vector<PresentKey> ReadKeys() const;
    // A file of that name lies in the script's folder (letter case ignored, as on Windows).
    bool InDistribution(const std::string& name) const;

    void Warn(int line, std::string_view rule, std::string message);
    void Error(int line, std::string_view rule, std::string message);
    std::vector<Finding>& Findings() { return findings_; }

  private:
    std::string path_;
    ScriptLines lines_;
    std::vector<std::string> files_; // lower-case names in the script's folder
    std::vector<Finding> findings_;
};

// Key names, sections and list items.
void CheckKeyNames(CheckContext& c);
void CheckListItems(CheckContext& c);
void CheckCounts(CheckContext& c);
void CheckFlagWords(CheckContext& c);
void CheckInstallState(CheckContext& c);
// Paths.
void CheckDefaultDir(CheckContext& c);
void CheckFolderMacros(CheckContext& c);
void CheckAbsolutePaths(CheckContext& c);
void CheckUninstallQuotes(CheckContext& c);
void CheckSharedFolders(CheckContext& c);
void CheckWildcardDestinations(CheckContext& c);
// Registry, file types, product name.
void CheckRegistryRoots(CheckContext& c);
void CheckFileTypes(CheckContext& c);
void CheckProductName(CheckContext& c);
// The distribution and the uninstall records.
void CheckSourceFiles(CheckContext& c);
void CheckSetupPrograms(CheckContext& c);
void CheckRecordLimit(CheckContext& c);

// Every check of the script at `path`, sorted by line. A script that cannot be read is
// one error.
std::vector<Finding> CheckScript(const std::string& path);
