// File operations of the install passes and the uninstaller: the versioned copy, fonts,
// quiet deletion and the existence and short-name tests.
#include "engine/file_ops.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "script/globals.h"
#include "script/text.h"
#include "system/regprocs.h"
#include "windows/msgbox.h"

namespace {

// Creates `path` as an empty file when nothing of that name exists. Only a file made
// here is reported as made, so that the caller never deletes a file that was there.
bool CreatePlaceholder(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::string UpperHex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%lX", static_cast<unsigned long>(value));
    return text;
}

} // namespace

void InstallVersionedFile(const std::string& sourceFolder, const std::string& destFolder,
                          const std::string& sourceName, const std::string& destName, double errorCheck) {
    try {
        // Each short form that the system cannot give stays empty; the version installer
        // then fails and the failure is reported below.
        std::string shortSourceFolder = GetShortPath(sourceFolder);
        std::string shortSourceName = GetPathPart(GetShortPath(sourceFolder + sourceName), 1);
        std::string shortDestFolder = GetShortPath(destFolder);

        // A file that does not exist yet has no short name: an empty placeholder gets it
        // one, and is deleted again before the copy is made under that name.
        std::string destPath = destFolder + destName;
        std::string shortDestName;
        if (!FileExists(destPath)) {
            bool made = CreatePlaceholder(destPath);
            shortDestName = GetPathPart(GetShortPath(destPath), 1);
            if (made) DeleteFileQuietly(destPath);
        } else {
            shortDestName = GetPathPart(GetShortPath(destPath), 1);
        }

        // Not forced (flags 0): the version installer keeps a newer file on the computer.
        // A temporary copy it may leave in the destination folder is left there.
        // (The platform header declares the texts as writable; the installer only reads them.)
        char tempName[256] = {};
        UINT tempLength = 255;
        char noCurrentFolder[1] = "";
        DWORD result =
            VerInstallFileA(0, shortSourceName.data(), shortDestName.data(), shortSourceFolder.data(),
                            shortDestFolder.data(), noCurrentFolder, tempName, &tempLength);

        // Windows gives a file made under a short name right after the placeholder of that
        // name was deleted the placeholder's long name again (file-name tunnelling). Where the
        // system does not, the copy carries the short name: it is renamed to the name asked for.
        if (result == 0 && !shortDestName.empty() && shortDestName != destName && !FileExists(destPath) &&
            FileExists(destFolder + shortDestName))
            MoveFileA((destFolder + shortDestName).c_str(), destPath.c_str());

        // An older source file that the installer refused (VIF_SRCOLD) is not a failure.
        if (errorCheck == 0 && result != 0 && (result & VIF_SRCOLD) == 0) {
            MsgBox("The file " + destFolder + destName + "\r\n" +
                       "could not be copied. Make sure that this file is not currently in use by Windows and "
                       "that "
                       "there is sufficient room on the destination drive." +
                       "\r\n\r\n" + "File Copy Error: &H" + UpperHex(result),
                   MB_OK);
            InstallErrors = true;
        }
    } catch (...) {
    }
}

void InstallFont(const std::string& fontPath, const std::string& fontName) {
    try {
        if (AddFontResourceA(fontPath.c_str()) == 0) MsgBox("Could not install font: " + fontPath, MB_OK);
    } catch (...) {
    }
    try {
        // Listed under the Fonts key even when the system refused the font just now.
        SetRegValue(RegHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts", fontName,
                    fontPath, 1);
    } catch (...) {
    }
    PostMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
}

void DeleteFileQuietly(const std::string& path) {
    try {
        size_t slash = path.find_last_of("\\/");
        std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        // The matches are gathered first, so that deleting does not disturb the search.
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(path.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        // A read-only file or a file in use stays; nothing is reported.
        for (const std::string& name : names) DeleteFileA((folder + name).c_str());
    } catch (...) {
    }
}

bool FileExists(const std::string& path) {
    try {
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
    } catch (...) {
        return false;
    }
}

bool FolderExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string GetShortPath(const std::string& path) {
    try {
        char buffer[300];
        DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
        // 0: no such path. A length beyond the buffer: the short form does not fit, and a
        // cut-off path would be wrong, so there is none.
        if (length == 0 || length >= sizeof buffer) return "";
        return std::string(buffer, length);
    } catch (...) {
        return "";
    }
}
