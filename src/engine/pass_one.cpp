// Install pass one: the destination folder, the removal of an earlier installation, the
// Setup folder with its copy of the script, the kill, move and file lists.
#include <string>

#include "engine/file_ops.h"
#include "engine/install_passes.h"
#include "engine/pass_steps.h"
#include "script/script.h"
#include "script/text.h"
#include "script/values.h"
#include "engine/setup_log.h"

namespace {

class PassOne {
  public:
    PassOne(SetupSession& session, SetupUi& ui) : s(session), ui(ui), pc(*session.computer) {}
    PassOneOutcome Run();

  private:
    SetupSession& s;
    SetupUi& ui;
    Computer& pc;                  // the computer the run works on
    int total = 0;                 // the progress bar's whole
    int position = 1;              // the progress bar's place
    int k = 1;                     // the next uninstall record's number
    ShortFolderNames shortFolders; // no folder is renamed or removed during the pass

    bool MakeDestination();
    void RemovePreviousInstallation();
    void PrepareSetupFolder();
    void ReplaceSetupFile(const std::string& name);
    void KillFiles();
    void KillRegistryKeys();
    void MoveFiles();
    void MoveOneFile(const std::string& source, const std::string& target);
    void CopyFiles();
    void CopyOneFile(int n);
    void MakeFolderOf(const std::string& path);
    bool RecordFile(const std::string& path);
    void FinishSetupFolder();
};

// The destination is created whole, all missing levels at once. When even that fails (a
// drive that does not exist, a folder the user may not create), nothing can be installed:
// the upper levels made on the way are gone again, the user is told, and the installation
// stops before anything on the computer changes.
bool PassOne::MakeDestination() {
    bool made = false;
    Step(s, "create the destination folder " + s.destDir,
         [&] { return made = pc.CreateWholeFolder(s.destDir); });
    if (made) return true;
    Step(s, "tell that the destination cannot be created", [&] {
        ui.Tell(
            "The destination folder " + s.destDir +
                " could not be created. Make sure that the drive exists and that you may create folders "
                "on it.\r\n\r\nThe installation has been stopped; nothing has been changed on your computer.",
            MessageKind::Stop, s.ReadIni("SetupTitle"));
    });
    return false;
}

// Replaces a file of the Setup folder with the one beside the running program, in one
// step: an installation ended at that moment still finds a whole program and library
// there to uninstall with.
void PassOne::ReplaceSetupFile(const std::string& name) {
    Step(s, "put " + name + " into the Setup folder", [&] {
        if (!pc.ReplaceWithCopy(s.sourceDir + name, s.SetupFolder() + name)) return false;
        s.Log("Setup folder: " + name + " put in place");
        return true;
    });
}

void PassOne::RemovePreviousInstallation() {
    if (ReadNumber(s.ReadIni("RemovePrev")) == 0 || !pc.FileCanBeRead(s.SetupFolder() + "setup.ini")) return;
    ReplaceSetupFile("setup.exe");
    ReplaceSetupFile("stkit432.dll");
    Step(s, "show progress", [&] { ui.ShowProgress(0, 100, "Removing previous installation..."); });
    // The earlier installation's script drives its removal: our own program, run from its
    // Setup folder, finds that script beside itself. The command line is deliberately not
    // quoted; the system still finds the program when the destination holds blanks. It
    // appends its own run to the setup log, after what this run has written so far (to the
    // log that this run's command line named, if it named one).
    if (s.log) s.log->Flush();
    std::string command = s.destDir + "Setup\\setup.exe uninstall quiet ignoreprev";
    if (s.log && s.log->Path() != DefaultSetupLogPath(pc)) command += " \"log=" + s.log->Path() + "\"";
    Step(s, "run the earlier installation's uninstaller", [&] { pc.RunAndWait(command); });
    // That program has just rewritten the earlier script.
    Step(s, "forget the earlier script", [&] { s.ForgetScript(s.SetupFolder() + "setup.ini"); });
}

void PassOne::PrepareSetupFolder() {
    if (!s.EstablishSetup()) return;
    Step(s, "create the Setup folder",
         [&] { return pc.FolderExists(s.destDir + "Setup") || pc.CreateOneFolder(s.destDir + "Setup"); });
    Step(s, "forget the installed script", [&] { s.ForgetScript(s.SetupFolder() + "setup.ini"); });
    Step(s, "remove the installed script", [&] { DeleteFileQuietly(s, s.SetupFolder() + "setup.ini"); });
    // A script from read-only media must stay writable for its records.
    Step(s, "copy the script into the Setup folder", [&] {
        return pc.CopyFileOver(s.sourceDir + "setup.ini", s.SetupFolder() + "setup.ini") &&
               pc.ClearReadOnly(s.SetupFolder() + "setup.ini");
    });
    Step(s, "record the destination",
         [&] { return s.WriteIni("DestPath", s.destDir, "uninstall", s.SetupFolder()); });
    // An installation may be ended at any moment (a crash, the power, the user). From here
    // on the Setup folder can uninstall what has been done so far: the program and its
    // library are there before the first file is copied (and again at the end, in case one
    // of the product's files replaced them), and the count of recorded files is set to the
    // most that this installation can record, so that no record goes unread; the records
    // not made yet read empty and delete nothing. The true count is written at the end.
    ReplaceSetupFile("setup.exe");
    ReplaceSetupFile("stkit432.dll");
    Step(s, "record the most files this installation can record", [&] {
        const int most = (ListHasItems(s, "MoveFilesTotal") ? ListCount(s, "MoveFilesTotal") : 0) +
                         (ListHasItems(s, "TotalFiles") ? ListCount(s, "TotalFiles") : 0);
        return s.WriteIni("uninstallfilestotal", std::to_string(most), "uninstall", s.SetupFolder());
    });
}

void PassOne::KillFiles() {
    ForEachListItem(s, "KillFilesTotal", [&](int n) {
        std::string path;
        Step(s, ItemKey("KillFile", n), [&] {
            path = s.ResolveScriptPath(s.ReadIni(ItemKey("KillFile", n)));
            ui.ShowProgress(position, total, "Deleting: " + path);
        });
        // An entry that names only a folder names no file: nothing is deleted for it.
        Step(s, "delete " + path, [&] {
            if (!path.empty() && path.back() != '\\') DeleteFileQuietly(s, path);
        });
        ++position;
    });
}

void PassOne::KillRegistryKeys() {
    ForEachListItem(s, "KillRegKeysTotal", [&](int n) {
        Step(s, ItemKey("KillRegKey", n), [&] {
            const RegRoot root = ReadRegRoot(s.ReadIni(ItemKey("KillRegKey", n, "Root")));
            const std::string key = s.ReadIni(ItemKey("KillRegKey", n, "Folder"));
            if (pc.DeleteKey(root, key) == 0)
                s.Log("registry key deleted: " + RegRootName(root) + "\\" + key);
        });
    });
}

void PassOne::MakeFolderOf(const std::string& path) {
    const std::string folder = GetPathPart(path, 0, false);
    Step(s, "create the folder " + folder,
         [&] { return pc.FolderExists(folder) || pc.CreateOneFolder(folder); });
}

// Each file is recorded before it is copied or moved, so that an installation ended at any
// moment leaves no file that the uninstaller does not know of: a record of a file that is
// not there (yet) deletes nothing. A record that cannot be written (no room left for it)
// takes no number, and its file is not installed.
bool PassOne::RecordFile(const std::string& path) {
    bool recorded = false;
    Step(s, "record " + path, [&] {
        if (!s.WriteIni(ItemKey("file", k), path, "uninstall", s.SetupFolder())) return false;
        ++k;
        return recorded = true;
    });
    return recorded;
}

// A moved file keeps its old place when its copy fails: deleting it would lose it. The
// user is told, and the closing summary counts it among the installation's errors. A
// source that is not there at all (a file of an older version that this computer never
// had) is nothing to move and is passed over without a word.
void PassOne::MoveOneFile(const std::string& source, const std::string& target) {
    if (!pc.FileCanBeRead(source)) {
        s.Log("nothing to move: " + source);
        return;
    }
    if (pc.CopyFileOver(source, target)) {
        s.Log("moved: " + source + " to " + target);
        DeleteFileQuietly(s, source);
        return;
    }
    s.LogFailure("move " + source + " to " + target, pc.LastError());
    s.installErrors = true;
    ui.Tell("The file " + source + " could not be moved to " + target +
                ". It has been left where it was.\r\n\r\nMake sure that the file is not currently in use by "
                "Windows and that there is sufficient room on the destination drive.",
            MessageKind::Warning, s.ReadIni("SetupTitle"));
}

void PassOne::MoveFiles() {
    ForEachListItem(s, "MoveFilesTotal", [&](int n) {
        std::string source, target;
        Step(s, ItemKey("MoveFile", n), [&] {
            source = s.ResolveScriptPath(s.ReadIni(ItemKey("MoveFile", n)));
            target = s.ResolveScriptPath(s.ReadIni(ItemKey("MoveFile", n, "To")));
            ui.ShowProgress(position, total, "Moving: " + target);
        });
        MakeFolderOf(target);
        bool recorded = true;
        Step(s, "record " + target, [&] {
            if (s.EstablishSetup()) recorded = RecordFile(target);
        });
        Step(s, "move " + source, [&] {
            if (recorded) return MoveOneFile(source, target);
            s.installErrors = true;
            ui.Tell("The file " + source + " could not be moved to " + target +
                        ". It has been left where it was.\r\n\r\nThere is not enough room on the destination "
                        "drive to record it for the uninstall.",
                    MessageKind::Warning, s.ReadIni("SetupTitle"));
        });
        ++position;
    });
}

void PassOne::CopyOneFile(int n) {
    std::string dest;
    Step(s, ItemKey("destfile", n), [&] {
        dest = s.ResolveScriptPath(s.ReadIni(ItemKey("destfile", n)));
        ui.ShowProgress(position, total, "Copying: " + dest);
    });
    bool blank = true;
    Step(s, ItemKey("srcfile", n), [&] { blank = IsBlank(s.ReadIni(ItemKey("srcfile", n))); });
    if (blank) return; // shown, but neither copied, recorded nor counted
    // A name with * or ? names no file: a failed copy, neither deleted first nor recorded.
    if (NameHoldsWildcard(dest)) {
        Step(s, "copy " + dest, [&] {
            RefuseWildcardDestination(s, ui, s.sourceDir + s.ReadIni(ItemKey("srcfile", n)), dest,
                                      ReadNumber(s.ReadIni(ItemKey("SrcFile", n, "NoErrorCheck"))));
        });
        ++position;
        return;
    }

    Step(s, "delete " + dest + " first (Unconditional)", [&] {
        if (ReadNumber(s.ReadIni(ItemKey("srcfile", n, "Unconditional"))) != 0) DeleteFileQuietly(s, dest);
    });
    MakeFolderOf(dest);
    // Recorded before the copy (also when it is skipped or fails); a font is installed also
    // when the copy was skipped or failed.
    bool recorded = true;
    Step(s, "record " + dest, [&] {
        if (s.EstablishSetup() && ReadNumber(s.ReadIni(ItemKey("srcfile", n, "NoUninstall"))) == 0)
            recorded = RecordFile(dest);
    });
    Step(s, "copy " + dest, [&] {
        if (ReadNumber(s.ReadIni(ItemKey("srcfile", n, "NoOverwrite"))) != 0 && pc.FileIsListed(dest)) {
            s.Log("skipped (NoOverwrite, the file exists): " + dest);
            return;
        }
        const double errorCheck = ReadNumber(s.ReadIni(ItemKey("SrcFile", n, "NoErrorCheck")));
        if (!recorded) {
            // A file the uninstaller would not know of is not installed: a failed copy.
            s.Log("not copied (its record could not be written): " + dest);
            TellCopyFailed(s, ui, dest, VersionResult::OutOfSpace, errorCheck);
            return;
        }
        InstallVersionedFile(s, ui, s.sourceDir, GetPathPart(dest, 0), s.ReadIni(ItemKey("srcfile", n)),
                             GetPathPart(dest, 1), errorCheck, &shortFolders);
    });
    Step(s, "install the font " + dest, [&] {
        if (LowerCase(GetPathPart(dest, 2)) == "ttf")
            InstallFont(s, ui, dest, s.ReadIni(ItemKey("DestFileFont", n)));
    });
    ++position;
}

void PassOne::CopyFiles() {
    // The installation owns its installed script while it records the files: the script
    // stays open for appending (each record still reaches the system before the next copy).
    struct Held {
        Computer& pc;
        ~Held() { pc.StopHoldingScript(); }
    } held{pc};
    if (s.EstablishSetup()) pc.HoldScript(s.SetupFolder() + "setup.ini");
    ForEachListItem(s, "TotalFiles", [&](int n) { CopyOneFile(n); });
}

void PassOne::FinishSetupFolder() {
    if (!s.EstablishSetup()) return;
    Step(s, "record the number of files", [&] {
        return s.WriteIni("uninstallfilestotal", std::to_string(k - 1), "uninstall", s.SetupFolder());
    });
    ReplaceSetupFile("setup.exe");
    ReplaceSetupFile("stkit432.dll");
}

PassOneOutcome PassOne::Run() {
    if (!MakeDestination()) return PassOneOutcome::Stopped;
    Step(s, "remove the earlier installation", [&] { RemovePreviousInstallation(); });
    Step(s, "prepare the Setup folder", [&] { PrepareSetupFolder(); });
    Step(s, "count the files", [&] {
        const double sum = ReadNumber(s.ReadIni("TotalFiles")) + ReadNumber(s.ReadIni("MoveFilesTotal")) +
                           ReadNumber(s.ReadIni("KillFilesTotal"));
        total = RoundToInt16(sum).value_or(0);
    });
    Step(s, "the kill list", [&] { KillFiles(); });
    Step(s, "the registry kill list", [&] { KillRegistryKeys(); });
    Step(s, "the move list", [&] { MoveFiles(); });
    Step(s, "the file list", [&] { CopyFiles(); });
    Step(s, "finish the Setup folder", [&] { FinishSetupFolder(); });
    return PassOneOutcome::Completed;
}

} // namespace

PassOneOutcome RunInstallPassOne(SetupSession& session, SetupUi& ui) {
    try {
        return PassOne(session, ui).Run();
    } catch (...) {
        session.LogFailure("install pass one (an unexpected error)", 0);
        return PassOneOutcome::Completed; // what was done stays done; pass two goes on
    }
}
