#include "system/folder_listing.h"

#include <windows.h>

bool ReadFolderListing(const std::string& path, FolderListing& listing) {
    listing.folders.clear();
    listing.files.clear();
    if (path.empty()) return false;
    std::string everything = path;
    if (everything.back() != '\\') everything += '\\';
    everything += '*';
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileExA(everything.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        const DWORD attributes = data.dwFileAttributes;
        if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            const char* name = data.cFileName;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
            listing.folders.emplace_back(name);
        } else {
            listing.files.emplace_back(data.cFileName);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
}
