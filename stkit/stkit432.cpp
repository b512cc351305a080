// STKIT432.DLL, the setup toolkit library: the free space of the current drive and the
// Start menu shortcuts of an installed product.
//
// Where shortcuts go: every shortcut folder is a folder under the user's Start menu Programs folder
// (the shell's CSIDL_PROGRAMS, for example
// C:\Users\<name>\AppData\Roaming\Microsoft\Windows\Start Menu\Programs). A shortcut folder name
// may hold subfolders (Tools\Extras); the empty name means the Programs folder itself. A shortcut is a
// shell link file named after the shortcut with ".lnk" appended, whose working folder is the folder of
// its target. Removing a shortcut deletes exactly that .lnk file and then every level of its shortcut
// folder that became empty; the Programs folder itself is never removed. Folder or shortcut names that
// would reach outside the Programs folder (".." parts, drive letters, a shortcut name holding a
// backslash) are refused.
//
// All four functions take ANSI texts and return a signed 32-bit number: 1 when the
// shortcut function did its work, 0 otherwise; DISKSPACEFREE returns the free bytes
// (at most 2,147,483,647) or -1 when the drive cannot be measured.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

// Exported under these plain names by stkit432.def.
#define STKIT_EXPORT extern "C"

namespace {

// The user's Start menu Programs folder, without a trailing backslash; empty if unknown.
std::string ProgramsFolder() {
    char path[MAX_PATH];
    if (FAILED(
            SHGetFolderPathA(nullptr, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return "";
    std::string folder(path);
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

// The parts of a shortcut folder name (Tools\Extras gives Tools and Extras). Both kinds
// of slash separate parts; empty parts are skipped. False when a part would leave the
// Programs folder or cannot be a folder name.
bool SplitShortcutFolder(const char* name, std::vector<std::string>& parts) {
    parts.clear();
    if (!name) return true;
    std::string part;
    auto finish = [&]() {
        if (part.empty()) return true;
        // Surrounding blanks are not part of a folder name (the system drops trailing ones).
        size_t first = part.find_first_not_of(' ');
        size_t last = part.find_last_not_of(' ');
        part = first == std::string::npos ? std::string() : part.substr(first, last - first + 1);
        if (part == "." || part == "..") return false;
        if (!part.empty()) parts.push_back(part);
        part.clear();
        return true;
    };
    for (const char* p = name; *p; ++p) {
        char c = *p;
        if (c == '\\' || c == '/') {
            if (!finish()) return false;
        } else if (c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' ||
                   static_cast<unsigned char>(c) < 32) {
            return false;
        } else {
            part += c;
        }
    }
    return finish();
}

// Programs folder + the shortcut folder's parts; empty when either is unusable.
std::string ShortcutFolderPath(const char* folder, std::vector<std::string>& parts) {
    if (!SplitShortcutFolder(folder, parts)) return "";
    std::string path = ProgramsFolder();
    if (path.empty()) return "";
    for (const std::string& part : parts) path += "\\" + part;
    return path;
}

// The .lnk file of a shortcut: a name that is a plain file name, never a path.
bool ValidShortcutName(const char* name) {
    if (!name || !*name) return false;
    std::string text(name);
    if (text.find_first_of("\\/:*?\"<>|") != std::string::npos) return false;
    if (text.find_first_not_of(". ") == std::string::npos) return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 32) return false;
    return true;
}

// Creates every missing level from the Programs folder down to the shortcut folder.
bool CreateLevels(const std::vector<std::string>& parts) {
    std::string path = ProgramsFolder();
    if (path.empty()) return false;
    for (const std::string& part : parts) {
        path += "\\" + part;
        if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

// COM for the duration of one call. When the calling thread already runs COM in the
// other apartment model, that is used as it is and left alone.
class ComScope {
  public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool initialised_;
};

bool SaveShellLink(const std::string& linkPath, const char* target, const char* arguments) {
    ComScope com;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    std::string targetPath = target ? target : "";
    link->SetPath(targetPath.c_str());
    link->SetArguments(arguments ? arguments : "");
    size_t slash = targetPath.find_last_of('\\');
    if (slash != std::string::npos) {
        // C:\x.exe works in C:\, C:\Tools\x.exe in C:\Tools.
        std::string folder = targetPath.substr(0, slash == 2 ? 3 : slash);
        link->SetWorkingDirectory(folder.c_str());
    }
    link->SetShowCmd(SW_SHOWNORMAL);
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring widePath = Wide(linkPath);
        saved = !widePath.empty() && SUCCEEDED(file->Save(widePath.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

} // namespace

// Free bytes available on the current drive. Today's disks hold far more than a signed
// 32-bit number can tell: the count is capped at 2,147,483,647 rather than wrapped.
STKIT_EXPORT int32_t WINAPI DISKSPACEFREE() {
    ULARGE_INTEGER available{}, total{}, totalFree{};
    // No path: the root of the current drive.
    if (!GetDiskFreeSpaceExA(nullptr, &available, &total, &totalFree)) return -1;
    if (available.QuadPart > static_cast<ULONGLONG>(INT32_MAX)) return INT32_MAX;
    return static_cast<int32_t>(available.QuadPart);
}

STKIT_EXPORT int32_t WINAPI fCreateShellFolder(const char* folder) {
    try {
        std::vector<std::string> parts;
        if (!SplitShortcutFolder(folder, parts)) return 0;
        return CreateLevels(parts) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

STKIT_EXPORT int32_t WINAPI fCreateShellLink(const char* folder, const char* name, const char* target,
                                             const char* arguments) {
    try {
        std::vector<std::string> parts;
        if (!ValidShortcutName(name) || !SplitShortcutFolder(folder, parts)) return 0;
        // The folder is normally made beforehand; a missing one is made here all the same.
        if (!CreateLevels(parts)) return 0;
        std::string path = ShortcutFolderPath(folder, parts);
        if (path.empty()) return 0;
        return SaveShellLink(path + "\\" + name + ".lnk", target, arguments) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

STKIT_EXPORT int32_t WINAPI fRemoveShellLink(const char* folder, const char* name) {
    try {
        // Empty texts name no shortcut: nothing is touched.
        std::vector<std::string> parts;
        if (!ValidShortcutName(name) || !SplitShortcutFolder(folder, parts)) return 0;
        std::string path = ShortcutFolderPath(folder, parts);
        if (path.empty()) return 0;
        int32_t removed = DeleteFileA((path + "\\" + name + ".lnk").c_str()) ? 1 : 0;
        // Every level of the shortcut folder that is now empty goes too, deepest first;
        // the removal of a folder that still holds anything fails and ends the walk. The
        // Programs folder itself is not one of the levels.
        for (size_t level = parts.size(); level > 0; --level) {
            if (!RemoveDirectoryA(path.c_str())) break;
            path.resize(path.size() - parts[level - 1].size() - 1);
        }
        return removed;
    } catch (...) {
        return 0;
    }
}
