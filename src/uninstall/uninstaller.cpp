// The uninstaller: removes what the installation recorded in the installed copy of the
// script, then marks that script uninstalled. Every action stands on its own: a file or key
// that cannot be removed stays, and the next action runs.
#include <windows.h>

#include <array>
#include <string>

#include "engine/file_ops.h"
#include "engine/pass_steps.h"
#include "script/globals.h"
#include "script/script.h"
#include "script/text.h"
#include "script/values.h"
#include "system/folders.h"
#include "system/regprocs.h"
#include "system/toolkit.h"
#include "uninstall/uninstaller.h"
#include "windows/msgbox.h"

namespace {

bool IsBlank(const std::string& text) {
    return TrimBlanks(text).empty();
}

bool Confirmed() {
    int answer = IDNO;
    Step([&] {
        answer = MsgBox("Are you sure you want to remove " + ReadIni("ProductName") + " from your computer!?",
                        MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, ReadIni("SetupTitle"));
    });
    return answer == IDYES;
}

bool AlreadyUninstalled() {
    bool done = false;
    Step([&] { done = LowerCase(ReadIni("InstallState")) == "uninstalled"; });
    return done;
}

// The recorded files have slots 1 to 255 of a fixed table; files recorded with a higher
// number have no slot and stay on the computer. The uninstaller has always removed at most
// 255 files, and product authors rely on later entries (such as user data) staying.
void RemoveFiles() {
    std::array<std::string, 256> fileTable;
    const int count = ListCount("uninstallfilestotal", "uninstall");
    for (int n = 1; n <= count && n < static_cast<int>(fileTable.size()); ++n) {
        Step([&] { fileTable[n] = ReadIni(ItemKey("file", n), "uninstall"); });
        // A blank record names no file, and a record ending in a backslash names a folder:
        // neither deletes anything.
        Step([&] {
            if (!IsBlank(fileTable[n]) && fileTable[n].back() != '\\') DeleteFileQuietly(fileTable[n]);
        });
    }
}

void RemoveFileTypes() {
    if (!ListHasItems("TotalRegExts")) return;
    const int count = ListCount("TotalRegExts");
    for (int n = 1; n <= count; ++n) {
        Step([&] {
            const std::string ext = ReadIni(ItemKey("Ext", n), "Uninstall");
            if (IsBlank(ext)) return;
            // The type the extension points to; the registry calls get the extension as read.
            const std::string type = ReadRegString(RegHKeyClassesRoot, ext, "");
            DeleteRegKey(RegHKeyClassesRoot, ext);
            if (!IsBlank(type)) DeleteRegKey(RegHKeyClassesRoot, type);
        });
    }
}

void RemoveRegistryKeys() {
    if (!ListHasItems("TotalRegKeys")) return;
    const int count = ListCount("TotalRegKeys");
    for (int n = 1; n <= count; ++n) {
        Step([&] {
            if (IsBlank(ReadIni(ItemKey("RegKeyUninstall", n)))) return;
            DeleteRegKey(ReadRegRoot(ReadIni(ItemKey("RegKeyRoot", n))),
                         ReadIni(ItemKey("RegKeyUninstall", n)));
        });
    }
}

// Called for every shortcut the script lists, also when nothing was recorded for it: the
// toolkit finds nothing to remove then.
void RemoveShortcuts() {
    if (!ListHasItems("TotalShortcuts")) return;
    const int count = ListCount("TotalShortcuts");
    for (int n = 1; n <= count; ++n) {
        Step([&] {
            ToolkitRemoveShellLink(TrimBlanks(ReadIni(ItemKey("shortcutfolder", n), "uninstall")),
                                   ReadIni(ItemKey("shortcut", n), "uninstall"));
        });
    }
}

// Without a product name the two keys would be their parents, the whole list of installed
// programs and every Kavex product's key: nothing is deleted then.
void RemoveProductKeys() {
    if (IsBlank(ReadIni("ProductName"))) return;
    Step([] {
        DeleteRegKey(RegHKeyLocalMachine,
                     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + ReadIni("ProductName"));
    });
    Step([] { DeleteRegKey(RegHKeyLocalMachine, "SOFTWARE\\Kavex Software\\" + ReadIni("ProductName")); });
}

// The folder always still holds the Setup folder with the running program, so it is left
// to the user, in an Explorer window opened on it.
void ReportAndShowFolder() {
    Step([] {
        MsgBox(ReadIni("ProductName") + " has been successfully uninstalled." + "\r\r" +
                   "However, Setup will not delete the folder in which " + ReadIni("ProductName") +
                   " was located in because there are files still left in it. Setup will open an Explorer "
                   "window "
                   "focused on the folder so that you may delete it.",
               MB_OK | MB_ICONINFORMATION, ReadIni("SetupTitle"));
    });
    Step([] { StartIndependentProgram(GetWindowsFolder() + "\\EXPLORER.EXE /n,/e," + DestDir); });
}

} // namespace

// The progress window and the main window are unloaded by start-up when this returns,
// also on the early returns (answer No, already uninstalled).
void RunUninstall() {
    if (!QuietMode && !Confirmed()) return;
    if (AlreadyUninstalled()) return;
    Step([] { DestDir = ReadIni("DestPath", "uninstall"); });
    Step(RemoveFiles);
    Step(RemoveFileTypes);
    Step(RemoveRegistryKeys);
    Step(RemoveShortcuts);
    Step(RemoveProductKeys);
    Step([] { WriteIni("installstate", "uninstalled"); });
    if (QuietMode) return;
    ReportAndShowFolder();
}
