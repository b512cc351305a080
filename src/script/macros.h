// Script paths: folder macros (%default%, %windows%, %system%, %programfiles%,
// %commonfiles%, and the user's shell folders by name) and paths relative to the
// destination. The destination and the system folders are passed in (the folders through
// FolderSource), so that this logic keeps no state and stays portable.
#pragma once
#include <string>
#include <string_view>

// Where the macros' folders come from. The Windows program passes one that asks the
// system (src/system/folders.h); tests and the authors' tools pass their own.
class FolderSource {
  public:
    virtual ~FolderSource() = default;
    // The Windows folder, no trailing backslash; empty when the system reports none.
    virtual std::string WindowsFolder() const = 0;
    // The system folder, no trailing backslash; empty when the system reports none.
    virtual std::string SystemFolder() const = 0;
    // String value `name` of HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion, trimmed; empty if missing.
    virtual std::string CurrentVersionValue(std::string_view name) const = 0;
    // String value `name` of HKCU\...\Explorer\Shell Folders; empty if missing.
    virtual std::string ShellFolder(std::string_view name) const = 0;
};

// text & "\" unless it already ends in one or is 3 characters or shorter.
std::string AddTrailingBackslash(std::string_view text);
// Characters between the first percent sign and the next one; empty when fewer than two.
std::string GetMacroName(std::string_view text);
// Replaces the first occurrence of find (letter case ignored) in text, in place.
void ReplaceFirstText(std::string& text, std::string_view find, std::string_view replacement);
// Replaces at most one folder macro of path, in place; %default% names destDir.
void ExpandPathMacro(std::string& path, std::string_view destDir, const FolderSource& folders);
// A name of the user's Shell Folders key that Windows writes (Desktop, Programs, Fonts, ...),
// which a script may use as a macro (%Desktop%); letter case ignored.
bool IsShellFolderName(std::string_view name);
// Full path of a script path: with a percent sign, one macro expanded; otherwise put
// behind AddTrailingBackslash(destDir).
std::string ResolveScriptPath(std::string_view path, std::string_view destDir, const FolderSource& folders);
