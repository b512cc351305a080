// Rules about registry entries, file types, the product name, the distribution folder
// and the uninstall records.
#include <cinttypes>
#include <cstdio>

#include "findings.h"
#include "plan.h"
#include "engine/pass_steps.h" // ItemKey: item keys spelt as the passes spell them
#include "engine/registry_roots.h"
#include "script/macros.h"
#include "script/text.h"
#include "script/values.h"

namespace {

bool IsBlank(const std::string& text) {
    return TrimBlanks(text).empty();
}

bool IsDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

void CheckRoot(CheckContext& c, const std::string& key) {
    const std::string text = TrimBlanks(c.Read(key));
    const int32_t named = ReadRegRoot(text);
    if (named != 0 && RegRootName(named) != std::to_string(named)) return; // a root the registry has
    if (IsDigits(text) && text.size() == 10 && text >= "2147483648" && text <= "4294967295") {
        const uint32_t root = static_cast<uint32_t>(std::stoull(text));
        char hex[16];
        std::snprintf(hex, sizeof hex, "&H%" PRIX32, root);
        c.Error(c.Line(key), "registry-root",
                key + "=" + text +
                    " is the unsigned form, which does not fit the signed number of a root: write " + hex +
                    " or " + std::to_string(static_cast<int32_t>(root)));
        return;
    }
    c.Error(
        c.Line(key), "registry-root",
        key + "=" + text +
            " is not a registry root: write &H80000000 (HKEY_CLASSES_ROOT), &H80000001 (HKEY_CURRENT_USER), "
            "&H80000002 (HKEY_LOCAL_MACHINE), &H80000003 (HKEY_USERS) or &H80000005 (HKEY_CURRENT_CONFIG)");
}

// A blank name is an item missing from its list, which CheckListItems reports.
void RequireInDistribution(CheckContext& c, const std::string& key, const std::string& name) {
    if (IsBlank(name)) return;
    if (name.find_first_of("\\/") != std::string::npos)
        c.Error(c.Line(key), "missing-source",
                key + "=" + name +
                    " must name a file directly in the distribution folder, not in a subfolder");
    else if (!c.InDistribution(name))
        c.Error(c.Line(key), "missing-source", key + "=" + name + " is not in the distribution folder");
}

// The command field is expanded: it names one of the known folder macros.
bool NamesFolderMacro(const std::string& text) {
    for (const char* macro : {"%default%", "%windows%", "%system%", "%programfiles%", "%commonfiles%"})
        if (FindNoCase(text, macro) != std::string::npos) return true;
    return IsKnownFolderMacro(GetMacroName(text));
}

} // namespace

// registry-root: a root that is none of the predefined keys writes and deletes nothing.
void CheckRegistryRoots(CheckContext& c) {
    for (int n = 1, count = c.Count("TotalRegKeys"); n <= count; ++n)
        if (!IsBlank(c.Read(ItemKey("RegKeySubKey", n)))) CheckRoot(c, ItemKey("RegKeyRoot", n));
    for (int n = 1, count = c.Count("KillRegKeysTotal"); n <= count; ++n)
        CheckRoot(c, ItemKey("KillRegKey", n, "Root"));
}

// file-type-empty, verb-without-command, command-without-macro: file types that are
// skipped or registered with a broken command.
void CheckFileTypes(CheckContext& c) {
    for (int n = 1, count = c.Count("TotalRegExts"); n <= count; ++n) {
        for (const std::string& key : {ItemKey("RegExt", n), ItemKey("RegExt", n, "key")})
            if (IsBlank(c.Read(key)))
                c.Error(c.Line(key) ? c.Line(key) : c.Line("TotalRegExts"), "file-type-empty",
                        key + " is empty: file type " + std::to_string(n) + " is not registered");
        const std::string key = ItemKey("RegExt", n, "Commands");
        const std::string commands = c.Read(key);
        if (IsBlank(commands)) continue;
        std::vector<std::string> field;
        const int fields = SplitText(field, commands, "|");
        if (fields % 2 != 0)
            c.Warn(c.Line(key), "verb-without-command",
                   key + " has " + std::to_string(fields) + " fields: the last verb, " + field[fields] +
                       ", has no command and is not registered");
        for (int j = 2; j <= fields; j += 2) {
            if (field[j].find('%') == std::string::npos || NamesFolderMacro(field[j])) continue;
            c.Warn(c.Line(key), "command-without-macro",
                   key + ": the command of " + field[j - 1] +
                       " holds a percent sign but no folder macro, so its program is not put behind the "
                       "destination; name it with %default% or another macro");
        }
    }
}

// product-name: the product's registry keys are named by ProductName alone.
void CheckProductName(CheckContext& c) {
    const std::string name = c.Read("ProductName");
    const int line = c.Line("ProductName");
    if (IsBlank(name)) {
        if (c.Flag("EstablishSetup"))
            c.Error(
                line, "product-name",
                "ProductName is empty: no uninstall entry and no product key are registered, so the product "
                "cannot be removed from the list of installed programs");
        else if (c.Flag("ComponentsSearch"))
            c.Error(line, "product-name",
                    "ProductName is empty: the search for an earlier installation reads the key of every "
                    "product, SOFTWARE\\Kavex Software itself");
    } else if (name.find('\\') != std::string::npos) {
        c.Error(line, "product-name",
                "ProductName=" + name +
                    " holds a backslash: it names a registry key path, not one key of its own, and the "
                    "uninstaller "
                    "deletes the wrong keys");
    }
}

// missing-source: files that the installation copies or shows from the distribution folder.
void CheckSourceFiles(CheckContext& c) {
    for (int n = 1, count = c.Count("TotalFiles"); n <= count; ++n)
        if (const std::string name = c.Read(ItemKey("srcfile", n)); !IsBlank(name))
            RequireInDistribution(c, ItemKey("srcfile", n), name);
    for (int n = 1, count = c.Count("TotalOcxs"); n <= count; ++n)
        RequireInDistribution(c, ItemKey("OcxSrc", n), c.Read(ItemKey("OcxSrc", n)));
    for (int n = 1, count = c.Count("PrelimDocuExecsTotal"); n <= count; ++n)
        RequireInDistribution(c, ItemKey("PrelimDocuExec", n), c.Read(ItemKey("PrelimDocuExec", n)));
    if (c.Flag("DisplayLicense") && IsBlank(c.Read("LicenseFile")))
        c.Error(c.Line("DisplayLicense"), "missing-source",
                "DisplayLicense is on but LicenseFile names no file");
    else if (c.Flag("DisplayLicense"))
        RequireInDistribution(c, "LicenseFile", c.Read("LicenseFile"));
    for (const char* picture : {"SetupPic", "LogoPic", "TilePic"})
        if (const std::string name = TrimBlanks(c.Read(picture)); !name.empty())
            RequireInDistribution(c, picture, name);
}

// missing-program: setup.exe, STKIT432.DLL and regsvr32.exe, where the script needs them.
void CheckSetupPrograms(CheckContext& c) {
    const auto require = [&](const char* file, const char* key, const char* why) {
        if (!c.InDistribution(file))
            c.Error(c.Line(key), "missing-program",
                    std::string(file) + " is not in the distribution folder: " + why);
    };
    const bool setupFolder = c.Flag("EstablishSetup") || c.Flag("RemovePrev");
    const char* setupKey = c.Flag("EstablishSetup") ? "EstablishSetup" : "RemovePrev";
    if (setupFolder) require("setup.exe", setupKey, "the Setup folder gets a copy of it");
    if (setupFolder)
        require("STKIT432.DLL", setupKey, "the Setup folder gets a copy of it");
    else if (c.Count("TotalShortcuts") > 0)
        require("STKIT432.DLL", "TotalShortcuts", "it makes the shortcuts");
    if (c.Count("TotalOcxs") > 0) require("regsvr32.exe", "TotalOcxs", "it registers the components");
}

// too-many-records: the uninstaller removes the first 255 recorded files only.
void CheckRecordLimit(CheckContext& c) {
    if (!c.Flag("EstablishSetup")) return;
    int files = 0;
    for (const PlanAction& action : BuildPlan(c.ScriptPath(), "C:\\Distribution\\", "C:\\Product\\"))
        if (action.kind == "record" && action.target.rfind("[uninstall] file", 0) == 0) ++files;
    if (files > 255)
        c.Error(c.Line("TotalFiles"), "too-many-records",
                std::to_string(files) +
                    " files are recorded for uninstall, but the uninstaller removes only the "
                    "first 255: " +
                    std::to_string(files - 255) + " would stay on the computer");
}
