// The component search: the product's registry key first, then a walk of every fixed
// drive for a folder holding the product's characteristic files.
#include "wizard/component_search.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "engine/product_keys.h"
#include "script/macros.h"
#include "script/text.h"
#include "system/drives.h"
#include "system/file_system.h"
#include "system/regprocs.h"
#include "windows/forms/forms.h"
#include "windows/msgbox.h"
#include "wizard/screen_actions.h"

SeekerPlatform MakeSeekerPlatform(std::function<bool()> cancelled) {
    SeekerPlatform platform;
    platform.ReadFolder = ReadFolderListing;
    platform.DoEvents = DoEvents;
    platform.ShowMessage = [](const std::string& text) { MsgBox(text, MB_OK); };
    platform.Cancelled = std::move(cancelled);
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
                Seeker seeker(MakeSeekerPlatform(cancelled), s.ReadIni("Components"));
                seeker.SearchFolder(drives[i]);
                if (cancelled()) return; // the destination keeps its value
                if (seeker.lstFoundFiles.ListCount() > 0) {
                    s.destDir = GetPathPart(seeker.lstFoundFiles.List[0]);
                    return;
                }
            } catch (...) {
                s.LogFailure("search drive " + drives[i] + " (an unexpected error)", 0);
            }
        }
    } catch (...) {
        s.LogFailure("component search (an unexpected error)", 0);
    }
}
