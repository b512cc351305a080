// The uninstaller: removes what the installation recorded in the installed copy of the
// script, then marks that script uninstalled. Every action stands on its own: a file or key
// that cannot be removed stays, and the next action runs.
#include "uninstall/uninstaller.h"

#include <array>
#include <string>
#include <vector>

#include "engine/exit_codes.h"
#include "engine/file_ops.h"
#include "engine/pass_steps.h"
#include "engine/product_keys.h"
#include "script/text.h"
#include "script/values.h"

namespace {

class Uninstaller {
  public:
    Uninstaller(SetupSession& session, SetupUi& ui) : s(session), ui(ui), pc(*session.computer) {}
    UninstallOutcome Run();

  private:
    SetupSession& s;
    SetupUi& ui;
    Computer& pc; // the computer the run works on

    bool Confirmed();
    bool AlreadyUninstalled();
    void DeleteKey(RegRoot root, const std::string& key);
    void DeleteValue(RegRoot root, const std::string& key, const std::string& name);
    void RemoveFiles();
    void RemoveFileTypes();
    void RemoveOneFileType(int n);
    void RemoveOwnType(int n, const std::string& type);
    void RemoveRegistryKeys();
    void RemoveShortcuts();
    void RemoveProductKeys();
    void ReportAndShowFolder();
};

bool Uninstaller::Confirmed() {
    Answer answer = Answer::No;
    Step(s, "ask for confirmation", [&] {
        answer =
            ui.Ask("Are you sure you want to remove " + s.ReadIni("ProductName") + " from your computer!?",
                   {Choices::YesNo, MessageKind::Warning, true}, s.ReadIni("SetupTitle"));
    });
    return answer == Answer::Yes;
}

bool Uninstaller::AlreadyUninstalled() {
    bool done = false;
    Step(s, "InstallState", [&] { done = LowerCase(s.ReadIni("InstallState")) == "uninstalled"; });
    return done;
}

void Uninstaller::DeleteKey(RegRoot root, const std::string& key) {
    const RegStatus status = pc.DeleteKey(root, key);
    if (status == 0)
        s.Log("registry key deleted: " + RegRootName(root) + "\\" + key);
    else if (status != SystemError::FileNotFound)
        s.LogFailure("delete registry key " + RegRootName(root) + "\\" + key,
                     static_cast<unsigned long>(status));
}

void Uninstaller::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
    const RegStatus status = pc.DeleteValue(root, key, name);
    const std::string what = RegRootName(root) + "\\" + key + " [" + name + "]";
    if (status == 0)
        s.Log("registry value deleted: " + what);
    else if (status != SystemError::FileNotFound)
        s.LogFailure("delete registry value " + what, static_cast<unsigned long>(status));
}

// The recorded files have slots 1 to 255 of a fixed table; files recorded with a higher
// number have no slot and stay on the computer. The uninstaller has always removed at most
// 255 files, and product authors rely on later entries (such as user data) staying.
void Uninstaller::RemoveFiles() {
    std::array<std::string, 256> fileTable;
    const int count = ListCount(s, "uninstallfilestotal", "uninstall");
    for (int n = 1; n <= count && n < static_cast<int>(fileTable.size()); ++n) {
        Step(s, ItemKey("file", n), [&] { fileTable[n] = s.ReadIni(ItemKey("file", n), "uninstall"); });
        // A blank record names no file, and a record ending in a backslash names a folder:
        // neither deletes anything. A file is recorded before its copy begins: an
        // installation ended during the copy leaves it under its temporary name.
        Step(s, "delete " + fileTable[n], [&] {
            const std::string& file = fileTable[n];
            if (IsBlank(file) || file.back() == '\\') return;
            DeleteFileQuietly(s, file);
            if (!NameHoldsWildcard(file)) DeleteFileQuietly(s, TemporaryCopyName(file));
        });
    }
    if (count >= static_cast<int>(fileTable.size()))
        s.Log("files recorded after the 255th stay: " + std::to_string(count - 255));
}

// Of the product's type goes what the installation wrote into it: its description, its
// IsShortcut mark when the script asks for one, DefaultIcon and the verbs the script names;
// then its shell key when nothing is left in it, and the type key itself when nothing else is.
// Another program's verbs and values in a type that products share stay with the key. The
// extension is left alone when another program has taken it over since (it points to
// another type now); otherwise of the extension key goes what this product wrote, its type
// and its ShellNew, and the key itself only when nothing else is left in it.
void Uninstaller::RemoveOneFileType(int n) {
    const std::string ext = s.ReadIni(ItemKey("Ext", n), "Uninstall");
    if (IsBlank(ext)) return;
    // The registry calls get the extension as read.
    const std::string current = pc.ReadString(RegHKeyClassesRoot, ext, "");
    const std::string ours = s.ReadIni(ItemKey("RegExt", n, "key"));
    if (!IsBlank(ours)) RemoveOwnType(n, ours);
    if (!IsBlank(current) && !EqualsNoCase(TrimBlanks(current), TrimBlanks(ours))) {
        s.Log("left alone: " + ext + " now belongs to " + current);
        return;
    }
    Step(s, "the type of " + ext, [&] { DeleteValue(RegHKeyClassesRoot, ext, ""); });
    if (ReadFlag(s.ReadIni(ItemKey("RegExt", n, "ShellNew"))))
        DeleteKey(RegHKeyClassesRoot, ext + "\\ShellNew");
    if (pc.KeyIsEmpty(RegHKeyClassesRoot, ext)) DeleteKey(RegHKeyClassesRoot, ext);
}

void Uninstaller::RemoveOwnType(int n, const std::string& type) {
    const RegRoot classes = RegHKeyClassesRoot;
    Step(s, "the description of " + type, [&] { DeleteValue(classes, type, ""); });
    Step(s, "IsShortcut of " + type, [&] {
        if (ReadFlag(s.ReadIni(ItemKey("RegExt", n, "IsShortcut")))) DeleteValue(classes, type, "IsShortcut");
    });
    Step(s, "DefaultIcon of " + type, [&] { DeleteKey(classes, type + "\\DefaultIcon"); });
    // The verbs as the installation makes them: pairs of verb and command, a verb with a
    // name (a blank one would name the shell key itself).
    Step(s, "the verbs of " + type, [&] {
        std::vector<std::string> field;
        const int fields = SplitText(field, s.ReadIni(ItemKey("RegExt", n, "Commands")), "|");
        for (int j = 1; j + 1 <= fields; j += 2)
            if (!IsBlank(field[j])) DeleteKey(classes, type + "\\shell\\" + field[j]);
    });
    if (pc.KeyIsEmpty(classes, type + "\\shell")) DeleteKey(classes, type + "\\shell");
    if (pc.KeyIsEmpty(classes, type))
        DeleteKey(classes, type);
    else
        s.Log("kept, with what other programs put there: " + RegRootName(classes) + "\\" + type);
}

void Uninstaller::RemoveFileTypes() {
    ForEachListItem(s, "TotalRegExts",
                    [&](int n) { Step(s, ItemKey("Ext", n), [&] { RemoveOneFileType(n); }); });
}

void Uninstaller::RemoveRegistryKeys() {
    ForEachListItem(s, "TotalRegKeys", [&](int n) {
        Step(s, ItemKey("RegKeyUninstall", n), [&] {
            if (IsBlank(s.ReadIni(ItemKey("RegKeyUninstall", n)))) return;
            DeleteKey(ReadRegRoot(s.ReadIni(ItemKey("RegKeyRoot", n))),
                      s.ReadIni(ItemKey("RegKeyUninstall", n)));
        });
    });
}

// Called for every shortcut the script lists, also when nothing was recorded for it: the
// toolkit finds nothing to remove then.
void Uninstaller::RemoveShortcuts() {
    ForEachListItem(s, "TotalShortcuts", [&](int n) {
        Step(s, ItemKey("shortcut", n), [&] {
            const std::string folder = TrimBlanks(s.ReadIni(ItemKey("shortcutfolder", n), "uninstall"));
            const std::string name = s.ReadIni(ItemKey("shortcut", n), "uninstall");
            if (pc.RemoveShellLink(folder, name)) s.Log("shortcut removed: " + folder + "\\" + name);
        });
    });
}

// Only a product name that names a key of its own has keys to delete: otherwise the keys
// would be their parents, the whole list of installed programs and every product's key.
void Uninstaller::RemoveProductKeys() {
    if (!NamesOwnProductKey(s.ReadIni("ProductName"))) return;
    Step(s, "uninstall entry",
         [&] { DeleteKey(RegHKeyLocalMachine, UninstallKeyPath(s.ReadIni("ProductName"))); });
    Step(s, "product key", [&] { DeleteKey(RegHKeyLocalMachine, ProductKeyPath(s.ReadIni("ProductName"))); });
}

// The folder always still holds the Setup folder with the running program, so it is left
// to the user, in an Explorer window opened on it.
void Uninstaller::ReportAndShowFolder() {
    Step(s, "tell that the product was removed", [&] {
        ui.Tell(s.ReadIni("ProductName") + " has been successfully uninstalled." + "\r\r" +
                    "However, Setup will not delete the folder in which " + s.ReadIni("ProductName") +
                    " was located in because there are files still left in it. Setup will open an Explorer "
                    "window focused on the folder so that you may delete it.",
                MessageKind::Information, s.ReadIni("SetupTitle"));
    });
    Step(s, "open Explorer on the destination",
         [&] { return ui.StartProgram(pc.Folders().WindowsFolder() + "\\EXPLORER.EXE /n,/e," + s.destDir); });
}

UninstallOutcome Uninstaller::Run() {
    if (!s.quiet && !Confirmed()) return UninstallOutcome::Declined;
    if (AlreadyUninstalled()) return UninstallOutcome::AlreadyRemoved;
    Step(s, "DestPath", [&] { s.destDir = s.ReadIni("DestPath", "uninstall"); });
    Step(s, "recorded files", [&] { RemoveFiles(); });
    Step(s, "file types", [&] { RemoveFileTypes(); });
    Step(s, "registry keys", [&] { RemoveRegistryKeys(); });
    Step(s, "shortcuts", [&] { RemoveShortcuts(); });
    Step(s, "product keys", [&] { RemoveProductKeys(); });
    Step(s, "mark the script uninstalled", [&] { return s.WriteIni("installstate", "uninstalled"); });
    if (!s.quiet) ReportAndShowFolder();
    return UninstallOutcome::Removed;
}

} // namespace

UninstallOutcome RunUninstall(SetupSession& session, SetupUi& ui) {
    try {
        return Uninstaller(session, ui).Run();
    } catch (...) {
        session.LogFailure("uninstall (an unexpected error)", 0);
        return UninstallOutcome::Failed;
    }
}

unsigned long UninstallExitCode(UninstallOutcome outcome) {
    switch (outcome) {
    case UninstallOutcome::Removed:
        return ExitCodes::Done;
    case UninstallOutcome::Declined:
        return ExitCodes::UserExit;
    case UninstallOutcome::AlreadyRemoved:
        return ExitCodes::UnknownProduct;
    case UninstallOutcome::Failed:
        break;
    }
    return ExitCodes::Failure;
}
