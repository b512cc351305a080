// The system folders behind the path macros, asked of the system at each use.
#include "system/folders.h"

#include <windows.h>

#include "script/text.h"
#include "system/regprocs.h"

namespace {

constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The first n characters of a 255-character buffer filled by a system call that returns
// the length it wrote (0 on failure). A folder that does not fit (the call then returns
// the size it would need) reads as no folder rather than as a cut-off path.
template <typename Call> std::string AskFolder(Call call) {
    char buffer[255];
    UINT length = call(buffer, static_cast<UINT>(sizeof buffer));
    if (length == 0 || length >= sizeof buffer) return "";
    return std::string(buffer, length);
}

class SystemFolders final : public FolderSource {
  public:
    std::string WindowsFolder() const override { return GetWindowsFolder(); }
    std::string SystemFolder() const override { return GetSystemFolder(); }
    std::string CurrentVersionValue(std::string_view name) const override {
        return TrimBlanks(ReadRegString(RegHKeyLocalMachine, kCurrentVersionKey, name));
    }
    std::string ShellFolder(std::string_view name) const override { return GetShellFolder(name); }
};

} // namespace

std::string GetWindowsFolder() {
    try {
        return AskFolder([](char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); });
    } catch (...) {
        return "";
    }
}

std::string GetSystemFolder() {
    try {
        return AskFolder([](char* buffer, UINT size) { return GetSystemDirectoryA(buffer, size); });
    } catch (...) {
        return "";
    }
}

std::string GetShellFolder(std::string_view name) {
    return ReadRegString(RegHKeyCurrentUser, kShellFoldersKey, name);
}

const FolderSource& SystemFolderSource() {
    static const SystemFolders source;
    return source;
}
