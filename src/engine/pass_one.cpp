// Install pass one: the destination folder, the removal of an earlier installation, the
// Setup folder with its copy of the script, the kill, move and file lists.
#include <windows.h>

#include <string>

#include "engine/file_ops.h"
#include "engine/install_passes.h"
#include "engine/pass_steps.h"
#include "engine/progress.h"
#include "script/globals.h"
#include "script/macros.h"
#include "script/script.h"
#include "script/text.h"
#include "script/values.h"
#include "system/folders.h"
#include "system/regprocs.h"
#include "windows/msgbox.h"

namespace {

bool installationStopped = false;

// The Setup folder of the installation. DestDir is followed directly by "Setup\": a
// destination written without its trailing backslash puts the Setup files beside it
// (C:\Apps\AcmeSetup\ for C:\Apps\Acme), which is how the program has always named it.
std::string SetupFolder() {
    return DestDir + "Setup\\";
}

// A folder path without its trailing backslash, except for a drive's root (C:\).
std::string WithoutTrailingBackslash(std::string folder) {
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

// Creates one folder level (the parent must exist).
void CreateFolder(const std::string& folder) {
    CreateDirectoryA(WithoutTrailingBackslash(folder).c_str(), nullptr);
}

// Creates every missing level of the folder; true when it exists afterwards.
bool CreateWholeFolder(const std::string& folder) {
    const std::string path = WithoutTrailingBackslash(folder);
    if (path.empty()) return false;
    if (FolderExists(path)) return true;
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\') continue;
        const std::string level = path.substr(0, i);
        // "C:" and the leading parts of a network path (\\server) are no folders to create.
        if (level.back() == ':' || level.back() == '\\') continue;
        CreateDirectoryA(level.c_str(), nullptr);
    }
    return FolderExists(path);
}

// A plain copy that overwrites the target; true when it succeeded.
bool CopyFileOver(const std::string& source, const std::string& target) {
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

// Replaces a file of the Setup folder with the one beside the running program.
void ReplaceSetupFile(const std::string& name) {
    Step([&] { DeleteFileQuietly(SetupFolder() + name); });
    Step([&] { CopyFileOver(SourceDir + name, SetupFolder() + name); });
}

void RecordFile(int& k, const std::string& path) {
    WriteIni(ItemKey("file", k), path, "uninstall", SetupFolder());
    ++k;
}

bool EstablishSetup() {
    return ReadNumber(ReadIni("EstablishSetup")) != 0;
}

// The destination is created whole, all missing levels at once. When even that fails (a
// drive that does not exist, a folder the user may not create), nothing can be installed:
// the user is told, and the installation stops before anything on the computer changes.
bool MakeDestination() {
    bool made = false;
    Step([&] { made = CreateWholeFolder(DestDir); });
    if (made) return true;
    Step([&] {
        MsgBox(
            "The destination folder " + DestDir +
                " could not be created. Make sure that the drive exists and that you may create folders "
                "on it.\r\n\r\nThe installation has been stopped; nothing has been changed on your computer.",
            MB_OK | MB_ICONSTOP, ReadIni("SetupTitle"));
    });
    return false;
}

void RemovePreviousInstallation() {
    if (ReadNumber(ReadIni("RemovePrev")) == 0 || !FileExists(SetupFolder() + "setup.ini")) return;
    ReplaceSetupFile("setup.exe");
    ReplaceSetupFile("stkit432.dll");
    Step([] { ShowProgress(0, 100, "Removing previous installation..."); });
    // The earlier installation's script drives its removal: our own program, run from its
    // Setup folder, finds that script beside itself. The command line is deliberately not
    // quoted; the system still finds the program when the destination holds blanks.
    Step([] { RunAndWait(DestDir + "Setup\\setup.exe uninstall quiet ignoreprev"); });
    // That program has just rewritten the earlier script.
    Step([] { ForgetIniFile(SetupFolder() + "setup.ini"); });
}

void PrepareSetupFolder() {
    if (!EstablishSetup()) return;
    Step([] {
        if (!FolderExists(DestDir + "Setup")) CreateFolder(DestDir + "Setup");
    });
    Step([] { ForgetIniFile(SetupFolder() + "setup.ini"); });
    Step([] { DeleteFileQuietly(SetupFolder() + "setup.ini"); });
    Step([] { CopyFileOver(SourceDir + "setup.ini", SetupFolder() + "setup.ini"); });
    Step([] { WriteIni("DestPath", DestDir, "uninstall", SetupFolder()); });
}

void KillFiles(int& position, int total) {
    if (!ListHasItems("KillFilesTotal")) return;
    const int count = ListCount("KillFilesTotal");
    for (int n = 1; n <= count; ++n) {
        std::string path;
        Step([&] {
            path = ResolveScriptPath(ReadIni(ItemKey("KillFile", n)), DestDir, SystemFolderSource());
            ShowProgress(position, total, "Deleting: " + path);
        });
        // An entry that names only a folder names no file: nothing is deleted for it.
        Step([&] {
            if (!path.empty() && path.back() != '\\') DeleteFileQuietly(path);
        });
        ++position;
    }
}

void KillRegistryKeys() {
    if (!ListHasItems("KillRegKeysTotal")) return;
    const int count = ListCount("KillRegKeysTotal");
    for (int n = 1; n <= count; ++n) {
        Step([&] {
            DeleteRegKey(ReadRegRoot(ReadIni(ItemKey("KillRegKey", n, "Root"))),
                         ReadIni(ItemKey("KillRegKey", n, "Folder")));
        });
    }
}

// A moved file keeps its old place when its copy fails: deleting it would lose it. The
// user is told, and the closing summary counts it among the installation's errors. A
// source that is not there at all (a file of an older version that this computer never
// had) is nothing to move and is passed over without a word.
void MoveOneFile(const std::string& source, const std::string& target) {
    if (!FileExists(source)) return;
    if (CopyFileOver(source, target)) {
        DeleteFileQuietly(source);
        return;
    }
    InstallErrors = true;
    MsgBox("The file " + source + " could not be moved to " + target +
               ". It has been left where it was.\r\n\r\nMake sure that the file is not currently in use by "
               "Windows "
               "and that there is sufficient room on the destination drive.",
           MB_OK | MB_ICONEXCLAMATION, ReadIni("SetupTitle"));
}

void MoveFiles(int& position, int total, int& k) {
    if (!ListHasItems("MoveFilesTotal")) return;
    const int count = ListCount("MoveFilesTotal");
    for (int n = 1; n <= count; ++n) {
        std::string source, target;
        Step([&] {
            source = ResolveScriptPath(ReadIni(ItemKey("MoveFile", n)), DestDir, SystemFolderSource());
            target = ResolveScriptPath(ReadIni(ItemKey("MoveFile", n, "To")), DestDir, SystemFolderSource());
            ShowProgress(position, total, "Moving: " + target);
        });
        Step([&] {
            const std::string folder = GetPathPart(target, 0, false);
            if (!FolderExists(folder)) CreateFolder(folder);
        });
        Step([&] { MoveOneFile(source, target); });
        Step([&] {
            if (EstablishSetup()) RecordFile(k, target);
        });
        ++position;
    }
}

void CopyFiles(int& position, int total, int& k) {
    if (!ListHasItems("TotalFiles")) return;
    const int count = ListCount("TotalFiles");
    for (int n = 1; n <= count; ++n) {
        std::string dest;
        Step([&] {
            dest = ResolveScriptPath(ReadIni(ItemKey("destfile", n)), DestDir, SystemFolderSource());
            ShowProgress(position, total, "Copying: " + dest);
        });
        bool blank = true;
        Step([&] { blank = TrimBlanks(ReadIni(ItemKey("srcfile", n))).empty(); });
        if (blank) continue; // shown, but neither copied, recorded nor counted

        Step([&] {
            if (ReadNumber(ReadIni(ItemKey("srcfile", n, "Unconditional"))) != 0) DeleteFileQuietly(dest);
        });
        Step([&] {
            const std::string folder = GetPathPart(dest, 0, false);
            if (!FolderExists(folder)) CreateFolder(folder);
        });
        Step([&] {
            if (ReadNumber(ReadIni(ItemKey("srcfile", n, "NoOverwrite"))) != 0 && FileExists(dest)) return;
            InstallVersionedFile(SourceDir, GetPathPart(dest, 0), ReadIni(ItemKey("srcfile", n)),
                                 GetPathPart(dest, 1),
                                 ReadNumber(ReadIni(ItemKey("SrcFile", n, "NoErrorCheck"))));
        });
        // Recorded and, for a font, installed also when the copy was skipped or failed.
        Step([&] {
            if (EstablishSetup() && ReadNumber(ReadIni(ItemKey("srcfile", n, "NoUninstall"))) == 0)
                RecordFile(k, dest);
        });
        Step([&] {
            if (LowerCase(GetPathPart(dest, 2)) == "ttf")
                InstallFont(dest, ReadIni(ItemKey("DestFileFont", n)));
        });
        ++position;
    }
}

void FinishSetupFolder(int k) {
    if (!EstablishSetup()) return;
    Step([&] { WriteIni("uninstallfilestotal", std::to_string(k - 1), "uninstall", SetupFolder()); });
    ReplaceSetupFile("setup.exe");
    ReplaceSetupFile("stkit432.dll");
}

} // namespace

bool InstallationStopped() {
    return installationStopped;
}

void RunInstallPassOne() {
    installationStopped = false;
    if (!MakeDestination()) {
        installationStopped = true;
        return;
    }
    Step(RemovePreviousInstallation);
    Step(PrepareSetupFolder);

    int total = 0, position = 1, k = 1;
    Step([&] {
        const double sum = ReadNumber(ReadIni("TotalFiles")) + ReadNumber(ReadIni("MoveFilesTotal")) +
                           ReadNumber(ReadIni("KillFilesTotal"));
        total = RoundToInt16(sum).value_or(0);
    });
    Step([&] { KillFiles(position, total); });
    Step(KillRegistryKeys);
    Step([&] { MoveFiles(position, total, k); });
    Step([&] { CopyFiles(position, total, k); });
    Step([&] { FinishSetupFolder(k); });
}
