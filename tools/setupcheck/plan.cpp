#include "plan.h"

#include "engine/product_keys.h"

#include <set>

#include "engine/pass_steps.h" // ItemKey: item keys spelt as the passes spell them
#include "script/macros.h"
#include "script/text.h"
#include "script/values.h"
#include "script_access.h"

namespace {

constexpr int32_t kClassesRoot = static_cast<int32_t>(0x80000000u);
constexpr int32_t kLocalMachine = static_cast<int32_t>(0x80000002u);

bool IsBlank(const std::string& text) {
    return TrimBlanks(text).empty();
}

// Follows setup.exe through its two passes. The flags and counts are read as the passes
// read them; what depends on the computer (an earlier installation, a file already there)
// becomes a note on the action.
class PlanBuilder {
  public:
    PlanBuilder(const std::string& script, const std::string& source, const std::string& dest)
        : script_(script), source_(source), dest_(dest), setup_(dest + "Setup\\") {}

    std::vector<PlanAction> Build() {
        PassOne();
        PassTwo();
        return std::move(actions_);
    }

  private:
    std::string script_, source_, dest_, setup_;
    std::vector<PlanAction> actions_;
    std::set<std::string> folders_; // folders already planned, lower case
    int recorded_ = 1;              // the next file<K> of the uninstall records

    std::string Read(std::string_view key) const { return ReadScriptValue(script_, key); }
    double Number(std::string_view key) const { return ReadNumber(Read(key)); }
    bool Flag(std::string_view key) const { return ReadFlag(Read(key)); }
    int Count(std::string_view key) const { return Number(key) > 0 ? ReadCount(Read(key)) : 0; }
    std::string ResolveKey(std::string_view key) const { return Resolve(Read(key)); }
    std::string Resolve(const std::string& path) const {
        return ResolveScriptPath(path, dest_, PlanFolderSource());
    }
    bool EstablishSetup() const { return Flag("EstablishSetup"); }

    void Add(std::string kind, std::string target, std::string name = {}, std::string value = {},
             std::string note = {}) {
        actions_.push_back({std::move(kind), ShowUnexpandedMacros(std::move(target)), std::move(name),
                            ShowUnexpandedMacros(std::move(value)), std::move(note)});
    }
    void Record(const std::string& key, const std::string& value, const std::string& section = "uninstall") {
        Add("record", "[" + section + "] " + LowerCase(key), {}, LowerCase(value));
    }
    // The folder of a file is made when missing, one level; planned once.
    void Folder(const std::string& path) {
        const std::string folder = GetPathPart(path, 0, true);
        if (folder.empty() || EqualsNoCase(folder, dest_)) return;
        if (folders_.insert(LowerCase(folder)).second) Add("folder", folder, {}, {}, "when missing");
    }
    void ReplaceSetupFile(const std::string& name, const std::string& note = {}) {
        Add("copy", setup_ + name, {}, source_ + name, note);
    }
    static std::string KeyPath(int32_t root, const std::string& key) {
        const std::string name = RootName(root);
        return (name.empty() ? "(root " + std::to_string(root) + ")" : name) + "\\" + key;
    }
    void SetValue(int32_t root, const std::string& key, const std::string& name, const std::string& value) {
        Add("value", KeyPath(root, key), name, value);
    }
    void CreateKey(int32_t root, const std::string& key) { Add("key", KeyPath(root, key)); }

    void PassOne() {
        Add("folder", dest_);
        folders_.insert(LowerCase(dest_));
        if (Flag("RemovePrev")) {
            const std::string when = "when " + setup_ + "setup.ini is there";
            ReplaceSetupFile("setup.exe", when);
            ReplaceSetupFile("stkit432.dll", when);
            Add("run", setup_ + "setup.exe uninstall quiet ignoreprev", {}, {}, when + "; waited for");
        }
        if (EstablishSetup()) {
            Add("folder", setup_, {}, {}, "when missing");
            folders_.insert(LowerCase(setup_));
            Add("copy", setup_ + "setup.ini", {}, source_ + "setup.ini");
            Record("DestPath", dest_);
            // The Setup folder can uninstall from the first file on (an installation that is
            // ended early): the program, its library and the most records there can be.
            ReplaceSetupFile("setup.exe");
            ReplaceSetupFile("stkit432.dll");
            Add("record", "[uninstall] uninstallfilestotal", {},
                std::to_string(Count("MoveFilesTotal") + Count("TotalFiles")),
                "until the true count is written at the end");
        }
        for (int n = 1, count = Count("KillFilesTotal"); n <= count; ++n) {
            const std::string path = ResolveKey(ItemKey("KillFile", n));
            if (!path.empty() && path.back() != '\\') Add("delete", path);
        }
        for (int n = 1, count = Count("KillRegKeysTotal"); n <= count; ++n) {
            const int32_t root = ReadRegRoot(Read(ItemKey("KillRegKey", n, "Root")));
            const std::string key = Read(ItemKey("KillRegKey", n, "Folder"));
            if (root != 0 && !key.empty()) Add("delete-key", KeyPath(root, key));
        }
        for (int n = 1, count = Count("MoveFilesTotal"); n <= count; ++n) {
            const std::string target = ResolveKey(ItemKey("MoveFile", n, "To"));
            Folder(target);
            Add("move", target, {}, ResolveKey(ItemKey("MoveFile", n)), "when the file is there");
            if (EstablishSetup()) Record(ItemKey("file", recorded_++), target);
        }
        for (int n = 1, count = Count("TotalFiles"); n <= count; ++n) CopyFile(n);
        if (EstablishSetup()) {
            Record("uninstallfilestotal", std::to_string(recorded_ - 1));
            ReplaceSetupFile("setup.exe");
            ReplaceSetupFile("stkit432.dll");
        }
    }

    void CopyFile(int n) {
        if (IsBlank(Read(ItemKey("srcfile", n)))) return;
        const std::string dest = ResolveKey(ItemKey("destfile", n));
        if (NameHoldsWildcard(dest)) {
            Add("file", dest, {}, source_ + Read(ItemKey("srcfile", n)),
                "not installed: the name holds * or ?; a failed copy");
            return;
        }
        if (Number(ItemKey("srcfile", n, "Unconditional")) != 0)
            Add("delete", dest, {}, {}, "replaced whatever its version");
        Folder(dest);
        std::string flags;
        const auto flag = [&](std::string_view attribute, std::string_view word) {
            if (Number(ItemKey("srcfile", n, attribute)) != 0)
                flags += (flags.empty() ? "" : ", ") + std::string(word);
        };
        flag("Unconditional", "replaces whatever is there");
        flag("NoOverwrite", "kept when already there");
        flag("NoErrorCheck", "no message when it fails");
        flag("NoUninstall", "not removed at uninstall");
        Add("file", dest, {}, source_ + Read(ItemKey("srcfile", n)), flags);
        if (EstablishSetup() && Number(ItemKey("srcfile", n, "NoUninstall")) == 0)
            Record(ItemKey("file", recorded_++), dest);
        if (LowerCase(GetPathPart(dest, 2)) == "ttf") {
            const std::string font = Read(ItemKey("DestFileFont", n));
            Add("font", dest, font);
            SetValue(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts", font, dest);
        }
    }

    void PassTwo() {
        for (int n = 1, count = Count("TotalOcxs"); n <= count; ++n) {
            const std::string dest = ResolveKey(ItemKey("OcxDest", n));
            Add("component", dest, {}, source_ + Read(ItemKey("OcxSrc", n)));
            Add("run", source_ + "regsvr32.exe " + dest, {}, {},
                "with the file's short path; not waited for");
        }
        for (int n = 1, count = Count("TotalRegKeys"); n <= count; ++n) {
            const std::string key = Read(ItemKey("RegKeySubKey", n));
            if (IsBlank(key)) continue;
            const int32_t root = ReadRegRoot(Read(ItemKey("RegKeyRoot", n)));
            CreateKey(root, key);
            const std::string value = Read(ItemKey("RegKeyValue", n));
            if (IsBlank(value)) continue;
            SetValue(root, key, Read(ItemKey("RegKeyValueName", n)),
                     Flag(ItemKey("RegKeyValueIsPath", n)) ? Resolve(value) : value);
        }
        for (int n = 1, count = Count("TotalRegExts"); n <= count; ++n) FileType(n);
        Shortcuts();
        if (EstablishSetup()) UninstallRegistration();
    }

    void FileType(int n) {
        const std::string ext = Read(ItemKey("RegExt", n)), type = Read(ItemKey("RegExt", n, "key"));
        if (IsBlank(ext) || IsBlank(type)) return;
        Add("filetype", ext, {}, type);
        // Only what the product writes again is replaced: other programs' subkeys stay.
        const bool shellNew = Flag(ItemKey("RegExt", n, "ShellNew"));
        if (shellNew) Add("delete-key", KeyPath(kClassesRoot, ext + "\\ShellNew"));
        CreateKey(kClassesRoot, ext);
        SetValue(kClassesRoot, ext, "", type);
        if (EstablishSetup()) Record(ItemKey("ext", n), ext);
        if (shellNew) {
            CreateKey(kClassesRoot, ext + "\\ShellNew");
            SetValue(kClassesRoot, ext + "\\ShellNew", "NullFile", "");
        }
        Add("delete-key", KeyPath(kClassesRoot, type + "\\DefaultIcon"));
        CreateKey(kClassesRoot, type);
        SetValue(kClassesRoot, type, "", Read(ItemKey("RegExt", n, "Desc")));
        if (Flag(ItemKey("RegExt", n, "IsShortcut"))) SetValue(kClassesRoot, type, "IsShortcut", "");
        CreateKey(kClassesRoot, type + "\\DefaultIcon");
        SetValue(kClassesRoot, type + "\\DefaultIcon", "", dest_ + Read(ItemKey("RegExt", n, "Icon")));
        const std::string commands = Read(ItemKey("RegExt", n, "Commands"));
        if (IsBlank(commands)) return;
        std::vector<std::string> field;
        const int fields = SplitText(field, commands, "|");
        for (int j = 1; j + 1 <= fields; j += 2) {
            if (IsBlank(field[j])) continue;
            const std::string verb = type + "\\shell\\" + field[j];
            CreateKey(kClassesRoot, type + "\\shell");
            Add("delete-key", KeyPath(kClassesRoot, verb));
            CreateKey(kClassesRoot, verb);
            CreateKey(kClassesRoot, verb + "\\command");
            SetValue(kClassesRoot, verb + "\\command", "", "\"" + Resolve(field[j + 1]));
        }
    }

    void Shortcuts() {
        const int count = Count("TotalShortcuts");
        if (count <= 0) return;
        std::string defaultFolder;
        if (const std::string folder = Read("DefaultShortcutFolder"); !IsBlank(folder)) {
            Add("shortcut-folder", folder);
            defaultFolder = folder;
        }
        for (int n = 1; n <= count; ++n) {
            std::string folder = defaultFolder;
            if (const std::string own = Read(ItemKey("Shortcut", n, "Folder")); !IsBlank(own)) {
                Add("shortcut-folder", own);
                folder = own;
            }
            const std::string name = Read(ItemKey("Shortcut", n, "Desc"));
            Add("shortcut", folder, name, ResolveKey(ItemKey("Shortcut", n)));
            if (!EstablishSetup()) continue;
            Record(ItemKey("shortcut", n), name);
            Record(ItemKey("shortcutfolder", n), folder);
        }
    }

    void UninstallRegistration() {
        const std::string product = Read("ProductName");
        if (NamesOwnProductKey(product)) {
            const std::string productKey = ProductKeyPath(product);
            const std::string uninstallKey = UninstallKeyPath(product);
            CreateKey(kLocalMachine, productKey);
            SetValue(kLocalMachine, productKey, "", dest_);
            CreateKey(kLocalMachine, uninstallKey);
            SetValue(kLocalMachine, uninstallKey, "DisplayName", product);
            SetValue(kLocalMachine, uninstallKey, "UninstallString", setup_ + "setup.exe uninstall");
            SetValue(kLocalMachine, uninstallKey, "QuietUninstallString",
                     "\"" + setup_ + "setup.exe\" uninstall quiet");
            // What the list of installed programs shows beside the name, as setup.exe writes it.
            const auto text = [&](const char* name, const std::string& value) {
                if (!IsBlank(value)) SetValue(kLocalMachine, uninstallKey, name, value);
            };
            text("DisplayVersion", Read("ProductVersion"));
            text("Publisher", Read("ProgramAuthor"));
            text("InstallLocation", dest_);
            text("DisplayIcon", setup_ + "setup.exe");
            if (Number("EstimatedSize") > 0)
                Add("number", KeyPath(kLocalMachine, uninstallKey), "EstimatedSize",
                    TrimBlanks(LeadingBlankNumber(Number("EstimatedSize") * 1024)));
            for (const char* name : {"NoModify", "NoRepair"})
                Add("number", KeyPath(kLocalMachine, uninstallKey), name, "1");
        }
        Record("installstate", "installed", "install");
    }
};

} // namespace

std::string RootName(int32_t root) {
    switch (static_cast<uint32_t>(root)) {
    case 0x80000000u:
        return "HKEY_CLASSES_ROOT";
    case 0x80000001u:
        return "HKEY_CURRENT_USER";
    case 0x80000002u:
        return "HKEY_LOCAL_MACHINE";
    case 0x80000003u:
        return "HKEY_USERS";
    case 0x80000005u:
        return "HKEY_CURRENT_CONFIG";
    default:
        return {};
    }
}

std::vector<PlanAction> BuildPlan(const std::string& scriptPath, const std::string& sourceDir,
                                  const std::string& destDir) {
    return PlanBuilder(scriptPath, sourceDir, destDir).Build();
}
