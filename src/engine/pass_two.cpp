// Install pass two: components, registry entries, file types, shortcuts and the
// uninstall registration.
#include <string>
#include <vector>

#include "engine/file_ops.h"
#include "engine/install_passes.h"
#include "engine/pass_steps.h"
#include "engine/product_keys.h"
#include "script/text.h"
#include "script/values.h"

namespace {

class PassTwo {
  public:
    PassTwo(SetupSession& session, SetupUi& ui) : s(session), ui(ui), pc(*session.computer) {}
    void Run();

  private:
    SetupSession& s;
    SetupUi& ui;
    Computer& pc; // the computer the run works on

    void CreateKey(RegRoot root, const std::string& key);
    void SetValue(RegRoot root, const std::string& key, const std::string& name, const std::string& value,
                  int type = 1);
    void SetNumber(RegRoot root, const std::string& key, const std::string& name, double value);
    void InstallComponents();
    void WriteRegistryEntries();
    void RegisterVerbs(int n);
    void RegisterOneFileType(int n);
    void CreateShortcuts();
    void RegisterUninstall();
    void DescribeUninstallEntry(const std::string& entry);
};

// The registry writes of this pass, each logged with what it wrote or why it could not
// (the registry procedures themselves decide nothing on a failure).
void PassTwo::CreateKey(RegRoot root, const std::string& key) {
    const RegStatus status = pc.CreateKey(root, key);
    if (status != 0) {
        s.LogFailure("create registry key " + RegRootName(root) + "\\" + key,
                     static_cast<unsigned long>(status));
        return;
    }
    s.Log("registry key: " + RegRootName(root) + "\\" + key);
}

void PassTwo::SetValue(RegRoot root, const std::string& key, const std::string& name,
                       const std::string& value, int type) {
    const std::string where = RegRootName(root) + "\\" + key + " [" + name + "]";
    const RegStatus status = pc.SetValue(root, key, name, value, type);
    if (status != 0) {
        s.LogFailure("write registry value " + where, static_cast<unsigned long>(status));
        return;
    }
    s.Log("registry value: " + where + " = " + value);
}

// A 32-bit number value (the registry's DWORD), for the list of installed programs.
void PassTwo::SetNumber(RegRoot root, const std::string& key, const std::string& name, double value) {
    SetValue(root, key, name, LeadingBlankNumber(value), 4);
}

void PassTwo::InstallComponents() {
    ForEachListItem(s, "TotalOcxs", [&](int n) {
        std::string dest;
        Step(s, ItemKey("OcxDest", n), [&] { dest = s.ResolveScriptPath(s.ReadIni(ItemKey("OcxDest", n))); });
        // Kept, newer on the computer, or failed: the registration is attempted all the same.
        Step(s, "copy the component " + dest, [&] {
            InstallVersionedFile(s, ui, s.sourceDir, GetPathPart(dest, 0), s.ReadIni(ItemKey("OcxSrc", n)),
                                 GetPathPart(dest, 1),
                                 ReadNumber(s.ReadIni(ItemKey("OcxSrc", n, "NoErrorCheck"))));
        });
        // regsvr32.exe comes with the distribution, beside the setup program. A component
        // that is not on the computer (its copy failed) has no short path and nothing to
        // register, so it is passed over. The registration is never waited for.
        Step(s, "register the component " + dest, [&] {
            if (!pc.FileCanBeRead(dest)) return true;
            const std::string shortPath = pc.ShortPath(dest);
            if (shortPath.empty()) return true;
            // Unattended, regsvr32 shows no message box either (/s).
            const std::string command =
                s.sourceDir + "regsvr32.exe " + (s.unattended ? "/s " : "") + shortPath;
            if (!ui.StartProgram(command)) return false;
            s.Log("started: " + command);
            return true;
        });
    });
}

void PassTwo::WriteRegistryEntries() {
    ForEachListItem(s, "TotalRegKeys", [&](int n) {
        // An entry without a key path would name the root key itself: it is passed over.
        bool blankPath = true;
        Step(s, ItemKey("RegKeySubKey", n),
             [&] { blankPath = IsBlank(s.ReadIni(ItemKey("RegKeySubKey", n))); });
        if (blankPath) return;
        Step(s, ItemKey("RegKey", n), [&] {
            CreateKey(ReadRegRoot(s.ReadIni(ItemKey("RegKeyRoot", n))),
                      s.ReadIni(ItemKey("RegKeySubKey", n)));
        });
        Step(s, ItemKey("RegKeyValue", n), [&] {
            if (IsBlank(s.ReadIni(ItemKey("RegKeyValue", n)))) return; // the key alone
            const std::string data = ReadFlag(s.ReadIni(ItemKey("RegKeyValueIsPath", n)))
                                         ? s.ResolveScriptPath(s.ReadIni(ItemKey("RegKeyValue", n)))
                                         : s.ReadIni(ItemKey("RegKeyValue", n));
            SetValue(ReadRegRoot(s.ReadIni(ItemKey("RegKeyRoot", n))), s.ReadIni(ItemKey("RegKeySubKey", n)),
                     s.ReadIni(ItemKey("RegKeyValueName", n)), data);
        });
    });
}

// The verbs of a file type: fields verb, command, verb, command, ... separated by "|".
// A last verb without its command, a verb without a name and an empty list make no keys.
void PassTwo::RegisterVerbs(int n) {
    const std::string commands = s.ReadIni(ItemKey("RegExt", n, "Commands"));
    if (IsBlank(commands)) return;
    std::vector<std::string> field;
    const int fields = SplitText(field, commands, "|");
    for (int j = 1; j + 1 <= fields; j += 2) {
        Step(s, "verb " + field[j], [&] {
            if (IsBlank(field[j])) return;
            const std::string type = s.ReadIni(ItemKey("RegExt", n, "key"));
            const std::string verbKey = type + "\\shell\\" + field[j];
            CreateKey(RegHKeyClassesRoot, type + "\\shell");
            pc.DeleteKey(RegHKeyClassesRoot, verbKey); // an older command of the same verb
            CreateKey(RegHKeyClassesRoot, verbKey);
            CreateKey(RegHKeyClassesRoot, verbKey + "\\command");
            // Only the opening quote: the script writes the closing one behind the program's
            // path itself, followed by the arguments ("%1").
            std::string command(1, '"');
            command += s.ResolveScriptPath(field[j + 1]);
            SetValue(RegHKeyClassesRoot, verbKey + "\\command", "", command);
        });
    }
}

void PassTwo::RegisterOneFileType(int n) {
    // An item without its extension or its type would rewrite HKEY_CLASSES_ROOT itself.
    if (IsBlank(s.ReadIni(ItemKey("RegExt", n))) || IsBlank(s.ReadIni(ItemKey("RegExt", n, "key")))) return;
    const auto ext = [&] { return s.ReadIni(ItemKey("RegExt", n)); };
    const auto type = [&] { return s.ReadIni(ItemKey("RegExt", n, "key")); };
    const RegRoot classes = RegHKeyClassesRoot;

    // An extension and a type may hold what other programs or the system put there (a common
    // extension such as .txt has ShellNew and OpenWithProgids subkeys): of them, only what
    // this product writes again is replaced, the extension's ShellNew, the type's icon and
    // the verbs it names.
    const bool shellNew = ReadFlag(s.ReadIni(ItemKey("RegExt", n, "ShellNew")));
    Step(s, "remove the old ShellNew", [&] {
        if (shellNew) pc.DeleteKey(classes, ext() + "\\ShellNew");
    });
    Step(s, "extension key", [&] { CreateKey(classes, ext()); });
    Step(s, "extension's type", [&] { SetValue(classes, ext(), "", type()); });
    Step(s, "record the extension", [&] {
        return !s.EstablishSetup() || s.WriteIni(ItemKey("ext", n), ext(), "uninstall", s.SetupFolder());
    });
    Step(s, "ShellNew", [&] {
        if (!shellNew) return;
        CreateKey(classes, ext() + "\\ShellNew");
        SetValue(classes, ext() + "\\ShellNew", "NullFile", "");
    });
    Step(s, "remove the old icon", [&] { pc.DeleteKey(classes, type() + "\\DefaultIcon"); });
    Step(s, "type key", [&] { CreateKey(classes, type()); });
    Step(s, "type's description",
         [&] { SetValue(classes, type(), "", s.ReadIni(ItemKey("RegExt", n, "Desc"))); });
    Step(s, "IsShortcut", [&] {
        if (ReadFlag(s.ReadIni(ItemKey("RegExt", n, "IsShortcut"))))
            SetValue(classes, type(), "IsShortcut", "");
    });
    Step(s, "DefaultIcon key", [&] { CreateKey(classes, type() + "\\DefaultIcon"); });
    Step(s, "DefaultIcon", [&] {
        SetValue(classes, type() + "\\DefaultIcon", "", s.destDir + s.ReadIni(ItemKey("RegExt", n, "Icon")));
    });
    Step(s, "verbs", [&] { RegisterVerbs(n); });
}

void PassTwo::CreateShortcuts() {
    if (!ListHasItems(s, "TotalShortcuts")) return;
    // The default folder is made once, before the first shortcut, even when every
    // shortcut names a folder of its own.
    std::string defaultFolder;
    Step(s, "the default shortcut folder", [&] {
        const std::string folder = s.ReadIni("DefaultShortcutFolder");
        if (IsBlank(folder)) return true;
        defaultFolder = folder;
        return pc.CreateShellFolder(folder);
    });
    ForEachListItem(s, "TotalShortcuts", [&](int n) {
        std::string folder = defaultFolder;
        Step(s, ItemKey("Shortcut", n, "Folder"), [&] {
            const std::string own = s.ReadIni(ItemKey("Shortcut", n, "Folder"));
            if (IsBlank(own)) return true;
            folder = own;
            return pc.CreateShellFolder(own);
        });
        // The toolkit's result decides nothing: a shortcut that could not be made is
        // recorded all the same, and its removal later simply finds nothing.
        Step(s, ItemKey("Shortcut", n), [&] {
            const std::string name = s.ReadIni(ItemKey("Shortcut", n, "Desc"));
            const std::string target = s.ResolveScriptPath(s.ReadIni(ItemKey("Shortcut", n)));
            if (pc.CreateShellLink(folder, name, target, ""))
                s.Log("shortcut: " + folder + "\\" + name + " to " + target);
            else
                s.LogFailure("make the shortcut " + folder + "\\" + name + " to " + target, 0);
        });
        Step(s, "record " + ItemKey("shortcut", n), [&] {
            if (!s.EstablishSetup()) return true;
            return s.WriteIni(ItemKey("shortcut", n), s.ReadIni(ItemKey("Shortcut", n, "Desc")), "uninstall",
                              s.SetupFolder()) &&
                   s.WriteIni(ItemKey("shortcutfolder", n), folder, "uninstall", s.SetupFolder());
        });
    });
}

// What the system's list of installed programs shows beside the name, where the script
// gives it: version, publisher, folder, icon and size. The program can neither modify nor
// repair an installation, so the list offers neither.
void PassTwo::DescribeUninstallEntry(const std::string& entry) {
    const auto text = [&](const char* name, const std::string& value) {
        if (!IsBlank(value)) SetValue(RegHKeyLocalMachine, entry, name, value);
    };
    text("DisplayVersion", s.ReadIni("ProductVersion"));
    text("Publisher", s.ReadIni("ProgramAuthor"));
    text("InstallLocation", s.destDir);
    text("DisplayIcon", s.SetupFolder() + "setup.exe");
    // The script gives megabytes; the list counts kilobytes.
    const double megabytes = ReadNumber(s.ReadIni("EstimatedSize"));
    if (megabytes > 0) SetNumber(RegHKeyLocalMachine, entry, "EstimatedSize", megabytes * 1024);
    SetNumber(RegHKeyLocalMachine, entry, "NoModify", 1);
    SetNumber(RegHKeyLocalMachine, entry, "NoRepair", 1);
}

void PassTwo::RegisterUninstall() {
    if (!s.EstablishSetup()) return;
    bool named = false;
    Step(s, "ProductName", [&] { named = NamesOwnProductKey(s.ReadIni("ProductName")); });
    if (named) {
        const auto product = [&] { return ProductKeyPath(s.ReadIni("ProductName")); };
        const auto entry = [&] { return UninstallKeyPath(s.ReadIni("ProductName")); };
        Step(s, "product key", [&] { CreateKey(RegHKeyLocalMachine, product()); });
        Step(s, "product key's folder", [&] { SetValue(RegHKeyLocalMachine, product(), "", s.destDir); });
        Step(s, "uninstall entry", [&] { CreateKey(RegHKeyLocalMachine, entry()); });
        Step(s, "DisplayName",
             [&] { SetValue(RegHKeyLocalMachine, entry(), "DisplayName", s.ReadIni("ProductName")); });
        // Unquoted on purpose, also when the destination holds blanks: the system's list of
        // installed programs runs it as it stands, and finds the program by trying the
        // command line's words in turn.
        Step(s, "UninstallString", [&] {
            SetValue(RegHKeyLocalMachine, entry(), "UninstallString",
                     s.destDir + "Setup\\setup.exe uninstall");
        });
        // For deployment tools: the same program, quoted, removing the product without a window.
        Step(s, "QuietUninstallString", [&] {
            SetValue(RegHKeyLocalMachine, entry(), "QuietUninstallString",
                     "\"" + s.destDir + "Setup\\setup.exe\" uninstall quiet");
        });
        Step(s, "the uninstall entry's details", [&] { DescribeUninstallEntry(entry()); });
    } else {
        s.Log("no product key or uninstall entry: the product name names no registry key of its own");
    }
    // The last action of the installation: from now on the Setup folder's program uninstalls.
    Step(s, "mark the installed script",
         [&] { return s.WriteIni("installstate", "installed", "install", s.SetupFolder()); });
}

void PassTwo::Run() {
    Step(s, "components", [&] { InstallComponents(); });
    Step(s, "registry entries", [&] { WriteRegistryEntries(); });
    Step(s, "file types", [&] {
        ForEachListItem(s, "TotalRegExts",
                        [&](int n) { Step(s, ItemKey("RegExt", n), [&] { RegisterOneFileType(n); }); });
    });
    Step(s, "shortcuts", [&] { CreateShortcuts(); });
    Step(s, "uninstall registration", [&] { RegisterUninstall(); });
}

} // namespace

void RunInstallPassTwo(SetupSession& session, SetupUi& ui) {
    try {
        PassTwo(session, ui).Run();
    } catch (...) {
        session.LogFailure("install pass two (an unexpected error)", 0);
    }
}
