// Install pass two: components, registry entries, file types, shortcuts and the
// uninstall registration.
#include <string>
#include <vector>

#include "engine/file_ops.h"
#include "engine/install_passes.h"
#include "engine/pass_steps.h"
#include "script/globals.h"
#include "script/macros.h"
#include "script/script.h"
#include "script/text.h"
#include "script/values.h"
#include "system/folders.h"
#include "system/regprocs.h"
#include "system/toolkit.h"

namespace {

std::string SetupFolder() {
    return DestDir + "Setup\\";
}

bool EstablishSetup() {
    return ReadFlag(ReadIni("EstablishSetup"));
}

bool IsBlank(const std::string& text) {
    return TrimBlanks(text).empty();
}

void InstallComponents() {
    if (!ListHasItems("TotalOcxs")) return;
    const int count = ListCount("TotalOcxs");
    for (int n = 1; n <= count; ++n) {
        std::string dest;
        Step(
            [&] { dest = ResolveScriptPath(ReadIni(ItemKey("OcxDest", n)), DestDir, SystemFolderSource()); });
        // Kept, newer on the computer, or failed: the registration is attempted all the same.
        Step([&] {
            InstallVersionedFile(SourceDir, GetPathPart(dest, 0), ReadIni(ItemKey("OcxSrc", n)),
                                 GetPathPart(dest, 1),
                                 ReadNumber(ReadIni(ItemKey("OcxSrc", n, "NoErrorCheck"))));
        });
        // regsvr32.exe comes with the distribution, beside the setup program. A component
        // that is not on the computer (its copy failed) has no short path and nothing to
        // register, so it is passed over. The registration is never waited for.
        Step([&] {
            if (!FileExists(dest)) return;
            const std::string shortPath = GetShortPath(dest);
            if (!shortPath.empty()) StartIndependentProgram(SourceDir + "regsvr32.exe " + shortPath);
        });
    }
}

void WriteRegistryEntries() {
    if (!ListHasItems("TotalRegKeys")) return;
    const int count = ListCount("TotalRegKeys");
    for (int n = 1; n <= count; ++n) {
        // An entry without a key path would name the root key itself: it is passed over.
        bool blankPath = true;
        Step([&] { blankPath = IsBlank(ReadIni(ItemKey("RegKeySubKey", n))); });
        if (blankPath) continue;
        Step([&] {
            CreateRegKey(ReadRegRoot(ReadIni(ItemKey("RegKeyRoot", n))), ReadIni(ItemKey("RegKeySubKey", n)));
        });
        Step([&] {
            if (IsBlank(ReadIni(ItemKey("RegKeyValue", n)))) return; // the key alone
            const std::string data =
                ReadFlag(ReadIni(ItemKey("RegKeyValueIsPath", n)))
                    ? ResolveScriptPath(ReadIni(ItemKey("RegKeyValue", n)), DestDir, SystemFolderSource())
                    : ReadIni(ItemKey("RegKeyValue", n));
            SetRegValue(ReadRegRoot(ReadIni(ItemKey("RegKeyRoot", n))), ReadIni(ItemKey("RegKeySubKey", n)),
                        ReadIni(ItemKey("RegKeyValueName", n)), data, 1);
        });
    }
}

// The verbs of a file type: fields verb, command, verb, command, ... separated by "|".
// A last verb without its command, a verb without a name and an empty list make no keys.
void RegisterVerbs(int n) {
    const std::string commands = ReadIni(ItemKey("RegExt", n, "Commands"));
    if (IsBlank(commands)) return;
    std::vector<std::string> field;
    const int fields = SplitText(field, commands, "|");
    for (int j = 1; j + 1 <= fields; j += 2) {
        Step([&] {
            if (IsBlank(field[j])) return;
            const std::string type = ReadIni(ItemKey("RegExt", n, "key"));
            const std::string verbKey = type + "\\shell\\" + field[j];
            CreateRegKey(RegHKeyClassesRoot, type + "\\shell");
            CreateRegKey(RegHKeyClassesRoot, verbKey);
            CreateRegKey(RegHKeyClassesRoot, verbKey + "\\command");
            // Only the opening quote: the script writes the closing one behind the program's
            // path itself, followed by the arguments ("%1").
            std::string command(1, '"');
            command += ResolveScriptPath(field[j + 1], DestDir, SystemFolderSource());
            SetRegValue(RegHKeyClassesRoot, verbKey + "\\command", "", command, 1);
        });
    }
}

void RegisterOneFileType(int n) {
    // An item without its extension or its type would rewrite HKEY_CLASSES_ROOT itself.
    if (IsBlank(ReadIni(ItemKey("RegExt", n))) || IsBlank(ReadIni(ItemKey("RegExt", n, "key")))) return;
    const auto ext = [n] { return ReadIni(ItemKey("RegExt", n)); };
    const auto type = [n] { return ReadIni(ItemKey("RegExt", n, "key")); };
    const RegRoot classes = RegHKeyClassesRoot;

    Step([&] { DeleteRegKey(classes, ext()); });
    Step([&] { CreateRegKey(classes, ext()); });
    Step([&] { SetRegValue(classes, ext(), "", type(), 1); });
    Step([&] {
        if (EstablishSetup()) WriteIni(ItemKey("ext", n), ext(), "uninstall", SetupFolder());
    });
    Step([&] {
        if (!ReadFlag(ReadIni(ItemKey("RegExt", n, "ShellNew")))) return;
        CreateRegKey(classes, ext() + "\\ShellNew");
        SetRegValue(classes, ext() + "\\ShellNew", "NullFile", "", 1);
    });
    Step([&] { DeleteRegKey(classes, type()); });
    Step([&] { CreateRegKey(classes, type()); });
    Step([&] { SetRegValue(classes, type(), "", ReadIni(ItemKey("RegExt", n, "Desc")), 1); });
    Step([&] {
        if (ReadFlag(ReadIni(ItemKey("RegExt", n, "IsShortcut"))))
            SetRegValue(classes, type(), "IsShortcut", "", 1);
    });
    Step([&] { CreateRegKey(classes, type() + "\\DefaultIcon"); });
    Step([&] {
        SetRegValue(classes, type() + "\\DefaultIcon", "", DestDir + ReadIni(ItemKey("RegExt", n, "Icon")),
                    1);
    });
    Step([&] { RegisterVerbs(n); });
}

void RegisterFileTypes() {
    if (!ListHasItems("TotalRegExts")) return;
    const int count = ListCount("TotalRegExts");
    for (int n = 1; n <= count; ++n) Step([&] { RegisterOneFileType(n); });
}

void CreateShortcuts() {
    if (!ListHasItems("TotalShortcuts")) return;
    // The default folder is made once, before the first shortcut, even when every
    // shortcut names a folder of its own.
    std::string defaultFolder;
    Step([&] {
        const std::string folder = ReadIni("DefaultShortcutFolder");
        if (IsBlank(folder)) return;
        ToolkitCreateShellFolder(folder);
        defaultFolder = folder;
    });
    const int count = ListCount("TotalShortcuts");
    for (int n = 1; n <= count; ++n) {
        std::string folder = defaultFolder;
        Step([&] {
            const std::string own = ReadIni(ItemKey("Shortcut", n, "Folder"));
            if (IsBlank(own)) return;
            ToolkitCreateShellFolder(own);
            folder = own;
        });
        // The toolkit's result is not examined: a shortcut that could not be made is recorded
        // all the same, and its removal later simply finds nothing.
        Step([&] {
            ToolkitCreateShellLink(
                folder, ReadIni(ItemKey("Shortcut", n, "Desc")),
                ResolveScriptPath(ReadIni(ItemKey("Shortcut", n)), DestDir, SystemFolderSource()), "");
        });
        Step([&] {
            if (!EstablishSetup()) return;
            WriteIni(ItemKey("shortcut", n), ReadIni(ItemKey("Shortcut", n, "Desc")), "uninstall",
                     SetupFolder());
            WriteIni(ItemKey("shortcutfolder", n), folder, "uninstall", SetupFolder());
        });
    }
}

void RegisterUninstall() {
    if (!EstablishSetup()) return;
    const std::string productKey = "SOFTWARE\\Kavex Software\\";
    const std::string uninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    // Without a product name both keys would be the parent keys themselves (the whole list
    // of installed programs): no entry is made then.
    bool named = false;
    Step([&] { named = !IsBlank(ReadIni("ProductName")); });
    if (named) {
        Step([&] { CreateRegKey(RegHKeyLocalMachine, productKey + ReadIni("ProductName")); });
        Step([&] { SetRegValue(RegHKeyLocalMachine, productKey + ReadIni("ProductName"), "", DestDir, 1); });
        Step([&] { CreateRegKey(RegHKeyLocalMachine, uninstallKey + ReadIni("ProductName")); });
        Step([&] {
            SetRegValue(RegHKeyLocalMachine, uninstallKey + ReadIni("ProductName"), "DisplayName",
                        ReadIni("ProductName"), 1);
        });
        // Unquoted on purpose, also when the destination holds blanks: the system's list of
        // installed programs runs it as it stands, and finds the program by trying the
        // command line's words in turn.
        Step([&] {
            SetRegValue(RegHKeyLocalMachine, uninstallKey + ReadIni("ProductName"), "UninstallString",
                        DestDir + "Setup\\setup.exe uninstall", 1);
        });
    }
    // The last action of the installation: from now on the Setup folder's program uninstalls.
    Step([] { WriteIni("installstate", "installed", "install", SetupFolder()); });
}

} // namespace

void RunInstallPassTwo() {
    if (InstallationStopped()) return;
    Step(InstallComponents);
    Step(WriteRegistryEntries);
    Step(RegisterFileTypes);
    Step(CreateShortcuts);
    Step(RegisterUninstall);
}
