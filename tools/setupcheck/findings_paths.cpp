// Rules about the destination and the script's paths.
#include <cctype>

#include "findings.h"
#include "script/macros.h"
#include "script/text.h"
#include "script_access.h"

namespace {

constexpr const char* kNamedMacros[] = {"%default%", "%windows%", "%system%", "%programfiles%",
                                        "%commonfiles%"};

bool HasNamedMacro(std::string_view path) {
    for (const char* macro : kNamedMacros)
        if (FindNoCase(path, macro) != std::string_view::npos) return true;
    return false;
}

struct PathValue {
    int line;
    std::string key, value;
};

// Every script path that the installation resolves: the path keys of [install] that are
// read, and the registry values marked as paths.
std::vector<PathValue> ScriptPaths(const CheckContext& c) {
    std::vector<PathValue> paths;
    for (const PresentKey& key : c.ReadKeys()) {
        const std::string& name = key.line->key;
        const bool isPathValue = key.match.key->name == std::string_view("RegKeyValue<N>") &&
                                 c.Flag("RegKeyValueIsPath" + std::to_string(key.match.number));
        if ((key.match.key->reading == Reading::Path && !EqualsNoCase(name, "DefaultDir")) || isPathValue)
            paths.push_back({key.line->line, name, c.Read(name)});
    }
    return paths;
}

bool LooksAbsolute(const std::string& path) {
    const std::string p = TrimBlanks(path);
    if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') return true;
    return !p.empty() && (p[0] == '\\' || p[0] == '/');
}

// A macro whose folder has blanks on most computers.
bool MayHaveBlanks(const std::string& path) {
    if (path.find(' ') != std::string::npos) return true;
    const std::string name = GetMacroName(path);
    return !name.empty() && !EqualsNoCase(name, "windows") && !EqualsNoCase(name, "system") &&
           !EqualsNoCase(name, "default");
}

} // namespace

// default-dir: the destination must end in a backslash; the Setup folder is appended to it.
void CheckDefaultDir(CheckContext& c) {
    const std::string dir = c.Read("DefaultDir");
    const int line = c.Line("DefaultDir");
    if (!dir.empty() && dir.back() != '\\')
        c.Warn(line, "default-dir",
               "DefaultDir=" + dir +
                   " has no trailing backslash: the Setup folder lands beside the destination, in " + dir +
                   "Setup\\");
}

// unknown-macro: a macro that no computer knows stays in the path as it is written.
void CheckFolderMacros(CheckContext& c) {
    std::vector<PathValue> paths = ScriptPaths(c);
    if (const int line = c.Line("DefaultDir")) paths.push_back({line, "DefaultDir", c.Read("DefaultDir")});
    for (const PathValue& path : paths) {
        if (HasNamedMacro(path.value)) continue;
        const std::string name = GetMacroName(path.value);
        if (name.empty() || IsKnownFolderMacro(name)) continue;
        c.Warn(path.line, "unknown-macro",
               path.key + ": %" + name +
                   "% is no folder macro that Windows knows; the path stays as written");
    }
}

// absolute-path: a path without a macro is put behind the destination, even C:\x.
void CheckAbsolutePaths(CheckContext& c) {
    for (const PathValue& path : ScriptPaths(c)) {
        if (path.value.find('%') != std::string::npos || !LooksAbsolute(path.value)) continue;
        c.Warn(path.line, "absolute-path",
               path.key + "=" + path.value +
                   " has no folder macro, so it is put behind the destination folder; start it with a macro "
                   "such "
                   "as %windows%");
    }
}

// unquoted-uninstall: the uninstall command is registered without quotes around its path.
void CheckUninstallQuotes(CheckContext& c) {
    const std::string dir = c.Read("DefaultDir");
    if (!c.Flag("EstablishSetup") || !MayHaveBlanks(dir)) return;
    std::string folder = dir;
    ExpandPathMacro(folder, "", PlanFolderSource()); // on Windows, the folder of this computer
    c.Warn(c.Line("DefaultDir"), "unquoted-uninstall",
           "DefaultDir=" + dir +
               " has or may have blanks: the uninstall command is registered without quotes (" +
               ShowUnexpandedMacros(folder) +
               "Setup\\setup.exe uninstall), so Windows tries each word of the path in turn");
}

// wildcard-destination: no file can have a name with * or ?. The installation copies and
// records nothing for it and counts it as a failed copy; were it recorded, the uninstaller
// would delete every file that matches it.
void CheckWildcardDestinations(CheckContext& c) {
    for (int n = 1, count = c.Count("TotalFiles"); n <= count; ++n) {
        const std::string number = std::to_string(n);
        const std::string dest = c.Read("destfile" + number);
        if (TrimBlanks(c.Read("srcfile" + number)).empty() || !NameHoldsWildcard(dest)) continue;
        c.Error(c.Line("destfile" + number), "wildcard-destination",
                "destfile" + number + "=" + dest +
                    " holds * or ?, which no file name can have: the file is not installed, and the user is "
                    "told that it could not be copied");
    }
}

// shared-folder: the uninstaller removes a recorded file even when another product uses it.
void CheckSharedFolders(CheckContext& c) {
    if (!c.Flag("EstablishSetup")) return;
    for (int n = 1, count = c.Count("TotalFiles"); n <= count; ++n) {
        const std::string number = std::to_string(n);
        const std::string dest = c.Read("destfile" + number);
        if (TrimBlanks(c.Read("srcfile" + number)).empty() || c.Flag("srcfile" + number + "NoUninstall") ||
            NameHoldsWildcard(dest))
            continue;
        for (const char* shared : {"%commonfiles%", "%system%", "%windows%"}) {
            if (FindNoCase(dest, shared) == std::string::npos) continue;
            c.Warn(
                c.Line("destfile" + number), "shared-folder",
                "destfile" + number + "=" + dest +
                    " goes to a folder that products share, and the uninstaller removes it even when another "
                    "product still uses it; add srcfile" +
                    number + "NoUninstall=1");
            break;
        }
    }
}
