#include "script_access.h"

#include "script/profile_files.h"
#include "script/text.h"
#include "known_keys.h"

#ifdef _WIN32
#include "system/folders.h"
#endif

std::string ReadScriptValue(const std::string& path, std::string_view key, std::string_view section) {
    // The tool reads one script for the whole run: the files are kept parsed, as setup.exe keeps them.
    static ProfileFiles files;
    return files.Read(path, section, key);
}

namespace {

// Marks a folder that stands for a macro; no path holds this character.
constexpr char kMark = '\x01';

std::string Marked(std::string_view name) {
    return std::string(1, kMark) + std::string(name) + std::string(1, kMark);
}

class UnexpandedFolders : public FolderSource {
  public:
    std::string WindowsFolder() const override { return Marked("windows"); }
    std::string SystemFolder() const override { return Marked("system"); }
    std::string CurrentVersionValue(std::string_view name) const override {
        if (EqualsNoCase(name, "programfilesdir")) return Marked("programfiles");
        if (EqualsNoCase(name, "commonfilesdir")) return Marked("commonfiles");
        return {};
    }
    std::string ShellFolder(std::string_view name) const override {
        return IsShellFolderName(name) ? Marked(name) : std::string();
    }
};

} // namespace

const FolderSource& PlanFolderSource() {
#ifdef _WIN32
    return SystemFolderSource();
#else
    static const UnexpandedFolders folders;
    return folders;
#endif
}

std::string ShowUnexpandedMacros(std::string text) {
    for (size_t at = text.find(kMark); at != std::string::npos; at = text.find(kMark, at)) {
        const size_t close = text.find(kMark, at + 1);
        if (close == std::string::npos) break;
        size_t end = close + 1;
        if (end < text.size() && text[end] == '\\') ++end; // the folder's own backslash
        const std::string macro = "%" + text.substr(at + 1, close - at - 1) + "%";
        text.replace(at, end - at, macro);
        at += macro.size();
    }
    return text;
}
