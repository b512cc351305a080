#include "script/macros.h"

#include "script/text.h"

namespace {

// A folder setting of the system, or the default built from the Windows folder when the
// setting is missing or blank.
std::string CurrentVersionFolder(const FolderSource& folders, std::string_view valueName,
                                 const std::string& fallback) {
    const std::string value = TrimBlanks(folders.CurrentVersionValue(valueName));
    return value.empty() ? fallback : value;
}

} // namespace

std::string AddTrailingBackslash(std::string_view text) {
    if (text.size() <= 3 || text.back() == '\\') return std::string(text);
    return std::string(text) + "\\";
}

std::string GetMacroName(std::string_view text) {
    const size_t first = text.find('%');
    if (first == std::string_view::npos) return {};
    const size_t second = text.find('%', first + 1);
    if (second == std::string_view::npos) return {};
    return std::string(text.substr(first + 1, second - first - 1));
}

void ReplaceFirstText(std::string& text, std::string_view find, std::string_view replacement) {
    if (find.empty()) return;
    const size_t at = FindNoCase(text, find);
    if (at == std::string::npos) return;
    text.replace(at, find.size(), replacement);
}

namespace {

void ExpandFirstMacro(std::string& path, std::string_view destDir, const FolderSource& folders) {
    // The named macros are tried in this order and only the first one found is
    // replaced, once; a script therefore names one folder macro per path.
    if (FindNoCase(path, "%default%") != std::string::npos) {
        ReplaceFirstText(path, "%default%", AddTrailingBackslash(destDir));
        return;
    }
    if (FindNoCase(path, "%windows%") != std::string::npos) {
        ReplaceFirstText(path, "%windows%", AddTrailingBackslash(folders.WindowsFolder()));
        return;
    }
    if (FindNoCase(path, "%system%") != std::string::npos) {
        ReplaceFirstText(path, "%system%", AddTrailingBackslash(folders.SystemFolder()));
        return;
    }
    if (FindNoCase(path, "%programfiles%") != std::string::npos) {
        const std::string fallback = folders.WindowsFolder().substr(0, 3) + "Program Files";
        ReplaceFirstText(path, "%programfiles%",
                         AddTrailingBackslash(CurrentVersionFolder(folders, "programfilesdir", fallback)));
        return;
    }
    if (FindNoCase(path, "%commonfiles%") != std::string::npos) {
        // The default lies under the Windows folder, not under the program files folder.
        const std::string fallback = folders.WindowsFolder() + "\\Common Files";
        ReplaceFirstText(path, "%commonfiles%",
                         AddTrailingBackslash(CurrentVersionFolder(folders, "commonfilesdir", fallback)));
        return;
    }
    const std::string name = GetMacroName(path);
    const std::string folder = folders.ShellFolder(name);
    if (folder.empty()) return; // an unknown folder leaves its macro in the path
    ReplaceFirstText(path, "%" + name + "%", AddTrailingBackslash(folder));
}

} // namespace

void ExpandPathMacro(std::string& path, std::string_view destDir, const FolderSource& folders) {
    std::string expanded = path;
    try {
        ExpandFirstMacro(expanded, destDir, folders);
    } catch (...) {
        return; // a folder that cannot be asked for leaves the path as it is
    }
    path.swap(expanded);
}

std::string ResolveScriptPath(std::string_view path, std::string_view destDir, const FolderSource& folders) {
    std::string resolved(path);
    if (resolved.find('%') != std::string::npos) {
        ExpandPathMacro(resolved, destDir, folders);
        return resolved;
    }
    // Even an absolute path is put behind the destination: script paths are relative.
    return AddTrailingBackslash(destDir) + resolved;
}

bool IsShellFolderName(std::string_view name) {
    static constexpr const char* known[] = {"AppData",
                                            "Cache",
                                            "CD Burning",
                                            "Cookies",
                                            "Desktop",
                                            "Favorites",
                                            "Fonts",
                                            "History",
                                            "Local AppData",
                                            "Local Settings",
                                            "My Music",
                                            "My Pictures",
                                            "My Video",
                                            "NetHood",
                                            "Personal",
                                            "PrintHood",
                                            "Programs",
                                            "Recent",
                                            "SendTo",
                                            "Start Menu",
                                            "Startup",
                                            "Templates",
                                            "Administrative Tools",
                                            "Common AppData",
                                            "Common Desktop",
                                            "Common Programs",
                                            "Common Start Menu",
                                            "Common Startup"};
    for (const char* folder : known)
        if (EqualsNoCase(name, folder)) return true;
    return false;
}
