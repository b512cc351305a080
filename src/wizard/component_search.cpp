// The component search: the product's registry key first, then a walk of every fixed
// drive for a folder holding the product's characteristic files.
#include "wizard/component_search.h"

#include <windows.h>

#include <vector>

#include "engine/product_keys.h"
#include "script/macros.h"
#include "script/text.h"
#include "system/drives.h"
#include "system/file_system.h"
#include "system/regprocs.h"
#include "windows/forms.h"
#include "windows/msgbox.h"
#include "wizard/later_parts.h"

bool ReadFolderListing(const std::string& path, FolderListing& listing) {
    listing.folders.clear();
    listing.files.clear();
    if (path.empty()) return false;
    std::string spec = path;
    if (spec.back() != '\\') spec += '\\';
    spec += '*';
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileExA(spec.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
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

SeekerPlatform MakeSeekerPlatform(std::function<void()> doEvents) {
    SeekerPlatform platform;
    platform.ReadFolder = ReadFolderListing;
    platform.DoEvents = doEvents ? std::move(doEvents) : std::function<void()>(DoEvents);
    platform.ShowMessage = [](const std::string& text) { MsgBox(text, MB_OK); };
    platform.CurrentFolder = CurrentFolder;
    // The window is never shown, so its Exit button is never pressed; were it pressed, it
    // would end the program.
    platform.EndProgram = [] { EndProgram(); };
    return platform;
}

void FindComponents(SetupSession& s, const std::function<bool()>& cancelled) {
    try {
        // An earlier installation recorded its folder under the product's key.
        const std::string key = ProductKeyPath(s.ReadIni("ProductName"));
        std::string value = ReadRegString(RegHKeyLocalMachine, key, "");
        if (!value.empty()) {
            value = ReadRegString(RegHKeyLocalMachine, key, "");
            s.destDir = AddTrailingBackslash(value);
            return;
        }

        std::vector<std::string> drives;
        const int16_t count = ListDrivesOfType(3, drives);
        for (int16_t i = 0; i < count && static_cast<size_t>(i) < drives.size(); ++i) {
            // A failure abandons this drive only; the next one is searched.
            try {
                SeekerPlatform platform = MakeSeekerPlatform();
                platform.Cancelled = cancelled;
                SeekerForm seeker(std::move(platform));
                seeker.SetSearchSpec(s.ReadIni("Components"));
                seeker.SetFolder(drives[i]);
                seeker.PressSearch();
                if (cancelled()) return; // the destination keeps its value
                if (seeker.lstFoundFiles.ListCount() > 0) {
                    s.destDir = GetPathPart(seeker.lstFoundFiles.List[0]);
                    return;
                }
            } catch (...) {
            }
        }
    } catch (...) {
    }
}
