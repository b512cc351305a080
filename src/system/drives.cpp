// Drive types, drive lists and the free space of a drive.
#include "system/drives.h"

#include <windows.h>

#include "script/values.h"
#include "system/toolkit.h"

unsigned DriveType(const std::string& root) {
    return GetDriveTypeA(root.c_str());
}

int16_t ListDrivesOfType(unsigned kind, std::vector<std::string>& drives) {
    int16_t count = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        try {
            std::string root{letter, ':', '\\'};
            if (DriveType(root) != kind) continue;
            drives.push_back(root);
            ++count;
        } catch (...) {
        }
    }
    return count;
}

namespace {

// The process's current folder, or empty when it cannot be read.
std::string CurrentFolder() {
    char buffer[MAX_PATH + 1];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return "";
    return std::string(buffer, length);
}

} // namespace

std::string DriveFreeSpace(const std::string& path) {
    std::string result = "unknown";
    std::string folder;
    // Switching to an empty floppy or card drive must not bring up the system's
    // "no disk" box: such a drive simply has an unknown free space.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    try {
        folder = CurrentFolder();
        // "X:" makes drive X current (in the folder last used on it), as changing the
        // current drive does.
        if (!path.empty() && SetCurrentDirectoryA((std::string(1, path[0]) + ":").c_str())) {
            int32_t freeBytes = 0;
            // A negative count is the toolkit's sign that it could not measure the drive.
            if (ToolkitDiskSpaceFree(freeBytes) && freeBytes >= 0) result = LeadingBlankNumber(freeBytes);
        }
    } catch (...) {
        result = "unknown";
    }
    if (!folder.empty()) {
        // The remembered drive first, then its folder (the folder may have gone meanwhile).
        SetCurrentDirectoryA(folder.substr(0, 2).c_str());
        SetCurrentDirectoryA(folder.c_str());
    }
    SetErrorMode(oldMode);
    return result;
}
