// File system and shell procedures over the ANSI Win32 functions.
#include "system/file_system.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "script/profile_file.h"
#include "system/toolkit.h"

namespace {

// A folder path without its trailing backslash, except for a drive's root (C:\).
std::string WithoutTrailingBackslash(std::string folder) {
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

// Switching to an empty floppy or card drive must not bring up the system's "no disk"
// box: such a drive simply cannot be read.
class NoCriticalErrorBoxes {
  public:
    NoCriticalErrorBoxes() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~NoCriticalErrorBoxes() { SetErrorMode(old_); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

  private:
    UINT old_;
};

} // namespace

bool FileCanBeRead(const std::string& path) {
    std::string file = path;
    if (!file.empty() && file.back() == '\\') file.pop_back();
    if (file.empty()) return false;
    // A file that another program has open still exists: share everything.
    HANDLE handle =
        CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

bool FileIsListed(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string GetShortPath(const std::string& path) {
    char buffer[300];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    // 0: no such path. A length beyond the buffer: the short form does not fit, and a
    // cut-off path would be wrong, so there is none.
    if (length == 0 || length >= sizeof buffer) return "";
    return std::string(buffer, length);
}

std::string ShortNameInFolder(const std::string& path) {
    // A name with wildcards names no one file.
    const size_t slash = path.find_last_of("\\/");
    if (path.find_first_of("*?", slash == std::string::npos ? 0 : slash) != std::string::npos) return "";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return "";
    FindClose(find);
    // A name that is a short name already has no second one.
    return found.cAlternateFileName[0] ? found.cAlternateFileName : found.cFileName;
}

bool CreateOneFolder(const std::string& folder) {
    return CreateDirectoryA(WithoutTrailingBackslash(folder).c_str(), nullptr) != 0;
}

bool CreateWholeFolder(const std::string& folder) {
    const std::string path = WithoutTrailingBackslash(folder);
    if (path.empty()) return false;
    if (FolderExists(path)) return true;
    std::vector<std::string> made;
    DWORD error = ERROR_PATH_NOT_FOUND;
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\') continue;
        const std::string level = path.substr(0, i);
        // "C:" and the leading parts of a network path (\\server) are no folders to create.
        if (level.back() == ':' || level.back() == '\\') continue;
        if (CreateDirectoryA(level.c_str(), nullptr))
            made.push_back(level);
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            error = GetLastError();
    }
    if (FolderExists(path)) return true;
    // The levels made on the way go again, deepest first, each only while it is empty.
    for (auto level = made.rbegin(); level != made.rend(); ++level) RemoveDirectoryA(level->c_str());
    SetLastError(error);
    return false;
}

std::string CurrentFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return (length > 0 && length < sizeof buffer) ? std::string(buffer, length) : std::string();
}

bool SetCurrentFolder(const std::string& folder) {
    NoCriticalErrorBoxes quiet;
    return !folder.empty() && SetCurrentDirectoryA(folder.c_str()) != 0;
}

std::string DriveCurrentFolder(char letter) {
    char buffer[MAX_PATH + 1] = {};
    const std::string drive{letter, ':'};
    const DWORD n = GetFullPathNameA(drive.c_str(), sizeof buffer, buffer, nullptr);
    if (n > 0 && n < sizeof buffer) return std::string(buffer, n);
    return drive + "\\";
}

bool CopyFileOver(const std::string& source, const std::string& target) {
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

bool RenameFile(const std::string& source, const std::string& target) {
    return MoveFileA(source.c_str(), target.c_str()) != 0;
}

bool ClearReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return !(attributes & FILE_ATTRIBUTE_READONLY) ||
           SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
}

namespace {

// Writes what the system holds of the file to the medium.
bool FlushFileByName(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return flushed;
}

} // namespace

bool ReplaceWithCopy(const std::string& source, const std::string& target) {
    // A copy takes its source's attributes along, the read-only one of a file from a CD-ROM
    // too; a read-only copy could be neither replaced later nor deleted when the rename
    // fails. So the copy, and a target left read-only by an earlier version, lose it.
    const std::string fresh = TemporaryCopyName(target);
    ClearReadOnly(fresh); // left by an earlier run
    if (CopyFileA(source.c_str(), fresh.c_str(), FALSE) && ClearReadOnly(fresh) && FlushFileByName(fresh)) {
        ClearReadOnly(target);
        if (PutFileInPlace(fresh, target)) return true;
    }
    const DWORD error = GetLastError();
    DeleteFileA(fresh.c_str());
    SetLastError(error);
    return false;
}

bool CreatePlaceholderFile(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

namespace {

// Files compressed by the system's compressor start with one of these marks.
bool IsCompressed(const char* bytes, DWORD length) {
    return length >= 4 && (std::memcmp(bytes, "SZDD", 4) == 0 || std::memcmp(bytes, "KWAJ", 4) == 0);
}

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool Close() {
        const bool ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE h_;
};

} // namespace

NewFileCopy CopyIntoNewFile(const std::string& source, const std::string& target) {
    // The target's name first: where it is taken (the usual case of an installation made
    // again), this tells at once, before anything is copied.
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_FILE_EXISTS);
        return NewFileCopy::NameTaken;
    }
    // The copy is made under the temporary name and given its own name when it is whole:
    // a program ended in the middle leaves no part of a file under the real name.
    const std::string fresh = TemporaryCopyName(target);
    Handle to(
        CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (to.get() == INVALID_HANDLE_VALUE) return NewFileCopy::NotMade;
    Handle from(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // One buffer for the whole run: the copy is made for many files in a row.
    static std::vector<char> buffer(1 << 20);
    DWORD got = 0, error = 0;
    bool ok = from.get() != INVALID_HANDLE_VALUE &&
              ReadFile(from.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
              !IsCompressed(buffer.data(), got);
    while (ok && got > 0) {
        DWORD written = 0;
        if (!WriteFile(to.get(), buffer.data(), got, &written, nullptr))
            error = GetLastError();
        else if (written != got)
            error = ERROR_DISK_FULL; // the drive took only a part
        ok = error == 0 &&
             ReadFile(from.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
    }
    // The version installer gives the new file the source's times.
    FILETIME created, accessed, written;
    ok = ok && GetFileTime(from.get(), &created, &accessed, &written) &&
         SetFileTime(to.get(), &created, &accessed, &written);
    ok = to.Close() && ok;
    // The name is given without replacing anything: a file of that name made meanwhile stays.
    if (ok && MoveFileA(fresh.c_str(), target.c_str())) return NewFileCopy::Made;
    if (!error) error = GetLastError();
    DeleteFileA(fresh.c_str());
    SetLastError(error);
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? NewFileCopy::NoRoom
                                                                       : NewFileCopy::NotMade;
}

bool DeleteOneFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

std::vector<std::string> MatchingFiles(const std::string& pattern) {
    std::vector<std::string> paths;
    const size_t slash = pattern.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return paths;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) paths.push_back(folder + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return paths;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Wildcards are not taken as such: a path holding them names no file.
    if (!FileIsListed(path)) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return ok;
}

uint32_t VersionInstallFile(const std::string& sourceName, const std::string& destName,
                            const std::string& sourceFolder, const std::string& destFolder) {
    // The platform header declares the texts as writable; the installer only reads them.
    std::string source = sourceName, dest = destName, from = sourceFolder, to = destFolder;
    char tempName[256] = {};
    UINT tempLength = 255;
    char noCurrentFolder[1] = "";
    return VerInstallFileA(0, source.data(), dest.data(), from.data(), to.data(), noCurrentFolder, tempName,
                           &tempLength);
}

bool AddFontFile(const std::string& fontPath) {
    return AddFontResourceA(fontPath.c_str()) != 0;
}

void BroadcastFontChange() {
    PostMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
}

std::vector<DriveEntry> ListDrives() {
    NoCriticalErrorBoxes quiet;
    std::vector<DriveEntry> drives;
    const DWORD mask = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(mask & (1u << (letter - 'A')))) continue;
        const std::string root{letter, ':', '\\'};
        DriveEntry drive{letter, GetDriveTypeA(root.c_str()), {}};
        if (drive.type == DRIVE_FIXED) {
            char label[MAX_PATH + 1] = {};
            if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr,
                                      0))
                drive.label = label;
        }
        drives.push_back(std::move(drive));
    }
    return drives;
}

std::optional<int64_t> DriveFreeBytes(const std::string& path) {
    std::optional<int64_t> result;
    NoCriticalErrorBoxes quiet;
    const std::string folder = CurrentFolder();
    // "X:" makes drive X current (in the folder last used on it), as changing the
    // current drive does; the toolkit measures the current drive.
    if (!path.empty() && SetCurrentDirectoryA((std::string(1, path[0]) + ":").c_str())) {
        int32_t freeBytes = 0;
        // A negative count is the toolkit's sign that it could not measure the drive.
        if (ToolkitDiskSpaceFree(freeBytes) && freeBytes >= 0) result = freeBytes;
    }
    if (!folder.empty()) {
        // The remembered drive first, then its folder (the folder may have gone meanwhile).
        SetCurrentDirectoryA(folder.substr(0, 2).c_str());
        SetCurrentDirectoryA(folder.c_str());
    }
    return result;
}

bool OpenDocument(const std::string& path, void* ownerWindow) {
    // The shell reports success with a value above 32.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(static_cast<HWND>(ownerWindow), nullptr, path.c_str(), nullptr, "C:\\", SW_SHOWNORMAL));
    return result > 32;
}
