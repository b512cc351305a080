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
// backslash) are refused, and so is every name that would make a path longer than the system's
// paths (MAX_PATH, ending zero included): nothing is cut short.
//
// All four functions take ANSI texts and return a signed 32-bit number: 1 when the
// shortcut function did its work, 0 otherwise; DISKSPACEFREE returns the free bytes
// (at most 2,147,483,647) or -1 when the drive cannot be measured.
//
// The library is small on purpose: no C++ library, no exceptions, paths in fixed buffers.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdint.h>

// Exported under these plain names by stkit432.def.
#define STKIT_EXPORT extern "C"

namespace {

// A path of at most MAX_PATH - 1 characters, always ending in a zero.
struct Path {
    char text[MAX_PATH];
    size_t length;
};

// Appends `count` characters; false, with the path unchanged, when they do not fit.
bool Append(Path& path, const char* text, size_t count) {
    if (count >= sizeof path.text - path.length) return false;
    CopyMemory(path.text + path.length, text, count);
    path.length += count;
    path.text[path.length] = '\0';
    return true;
}

bool Append(Path& path, const char* text) {
    return Append(path, text, static_cast<size_t>(lstrlenA(text)));
}

// Cuts the path back to `length` characters.
void CutTo(Path& path, size_t length) {
    path.length = length;
    path.text[length] = '\0';
}

bool IsOneOf(char c, const char* set) {
    for (; *set; ++set)
        if (c == *set) return true;
    return false;
}

// The parts of a shortcut folder name, each after a backslash, into `parts` (Tools\Extras
// and /Tools//Extras\ give \Tools\Extras; the empty name gives nothing). Both kinds of slash
// separate parts, empty parts are skipped, and surrounding blanks are not part of a folder
// name (the system drops trailing ones). False when a part would leave the Programs folder
// or cannot be a folder name, or when the parts are too long for a path.
bool SplitShortcutFolder(const char* name, Path& parts) {
    CutTo(parts, 0);
    if (!name) return true;
    for (const char* p = name;; ++p) {
        const char* start = p;
        for (; *p && *p != '\\' && *p != '/'; ++p)
            if (IsOneOf(*p, ":*?\"<>|") || static_cast<unsigned char>(*p) < 32) return false;
        const char* end = p;
        while (start < end && *start == ' ') ++start;
        while (end > start && end[-1] == ' ') --end;
        const size_t length = static_cast<size_t>(end - start);
        if (start[0] == '.' && (length == 1 || (length == 2 && start[1] == '.'))) return false;
        if (length > 0 && !(Append(parts, "\\") && Append(parts, start, length))) return false;
        if (!*p) return true;
    }
}

// The user's Start menu Programs folder, without a trailing backslash, followed by `parts`.
bool ShortcutFolderPath(const Path& parts, Path& path) {
    char programs[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                programs)))
        return false;
    CutTo(path, 0);
    if (!Append(path, programs)) return false;
    while (path.length > 0 && path.text[path.length - 1] == '\\') CutTo(path, path.length - 1);
    return path.length > 0 && Append(path, parts.text, parts.length);
}

// The .lnk file of a shortcut: a name that is a plain file name, never a path.
bool ValidShortcutName(const char* name) {
    if (!name || !*name) return false;
    bool onlyDotsAndBlanks = true;
    for (const char* p = name; *p; ++p) {
        if (IsOneOf(*p, "\\/:*?\"<>|") || static_cast<unsigned char>(*p) < 32) return false;
        if (*p != '.' && *p != ' ') onlyDotsAndBlanks = false;
    }
    return !onlyDotsAndBlanks;
}

// The link file's path: the shortcut folder's path, the name and ".lnk".
bool LinkPath(const Path& folder, const char* name, Path& link) {
    link = folder;
    return Append(link, "\\") && Append(link, name) && Append(link, ".lnk");
}

// Creates every missing level from the Programs folder down to the shortcut folder `path`,
// whose last `partsLength` characters are the levels.
bool CreateLevels(const Path& path, size_t partsLength) {
    Path level = path;
    for (size_t at = path.length - partsLength + 1; at <= path.length; ++at) {
        if (at < path.length && path.text[at] != '\\') continue;
        // The levels end where the next one begins.
        level.text[at] = '\0';
        const bool made = CreateDirectoryA(level.text, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
        level.text[at] = path.text[at];
        if (!made) return false;
    }
    const DWORD attributes = GetFileAttributesA(path.text);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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

// The working folder of a target: C:\x.exe works in C:\, C:\Tools\x.exe in C:\Tools; a
// target without a backslash has none (false).
bool WorkingFolder(const char* target, Path& folder) {
    CutTo(folder, 0);
    const char* slash = nullptr;
    for (const char* p = target; *p; ++p)
        if (*p == '\\') slash = p;
    if (!slash) return false;
    const size_t length = static_cast<size_t>(slash - target);
    return Append(folder, target, length == 2 ? 3 : length);
}

bool SaveShellLink(const Path& linkPath, const char* target, const char* arguments) {
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath.text, -1, widePath, MAX_PATH) == 0) return false;
    ComScope com;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(target);
    link->SetArguments(arguments ? arguments : "");
    Path folder;
    if (WorkingFolder(target, folder)) link->SetWorkingDirectory(folder.text);
    link->SetShowCmd(SW_SHOWNORMAL);
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(widePath, TRUE));
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
    Path parts, path;
    if (!SplitShortcutFolder(folder, parts) || !ShortcutFolderPath(parts, path)) return 0;
    return CreateLevels(path, parts.length) ? 1 : 0;
}

STKIT_EXPORT int32_t WINAPI fCreateShellLink(const char* folder, const char* name, const char* target,
                                             const char* arguments) {
    Path parts, path, link;
    if (!ValidShortcutName(name) || !SplitShortcutFolder(folder, parts)) return 0;
    if (!target) target = "";
    if (!ShortcutFolderPath(parts, path) || !LinkPath(path, name, link) || lstrlenA(target) >= MAX_PATH)
        return 0;
    // The folder is normally made beforehand; a missing one is made here all the same.
    if (!CreateLevels(path, parts.length)) return 0;
    return SaveShellLink(link, target, arguments) ? 1 : 0;
}

STKIT_EXPORT int32_t WINAPI fRemoveShellLink(const char* folder, const char* name) {
    // Empty texts name no shortcut: nothing is touched.
    Path parts, path, link;
    if (!ValidShortcutName(name) || !SplitShortcutFolder(folder, parts)) return 0;
    if (!ShortcutFolderPath(parts, path) || !LinkPath(path, name, link)) return 0;
    const int32_t removed = DeleteFileA(link.text) ? 1 : 0;
    // Every level of the shortcut folder that is now empty goes too, deepest first; the
    // removal of a folder that still holds anything fails and ends the walk. The Programs
    // folder itself is not one of the levels.
    const size_t programsLength = path.length - parts.length;
    while (path.length > programsLength && RemoveDirectoryA(path.text)) {
        size_t at = path.length;
        while (path.text[--at] != '\\') {
        }
        CutTo(path, at);
    }
    return removed;
}
