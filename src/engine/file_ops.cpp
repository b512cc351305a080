// File operations of the install passes and the uninstaller: the versioned copy, fonts
// and quiet deletion.
#include "engine/file_ops.h"

#include <cstdio>

#include "engine/pass_steps.h"
#include "script/text.h"

namespace {

std::string UpperHex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%lX", static_cast<unsigned long>(value));
    return text;
}

// The short name of a file in its folder, through an empty placeholder when the file does
// not exist yet (a file that does not exist has no short name). The placeholder is deleted
// again before the copy is made under that name; only a placeholder made here is deleted.
std::string ShortNameOf(Computer& pc, const std::string& destPath) {
    if (pc.FileCanBeRead(destPath)) return pc.ShortNameInFolder(destPath);
    const bool made = pc.CreatePlaceholderFile(destPath);
    std::string shortName = pc.ShortNameInFolder(destPath);
    if (made) pc.DeleteOneFile(destPath);
    return shortName;
}

} // namespace

std::string ShortFolderNames::Of(Computer& pc, const std::string& folder) {
    if (auto it = known_.find(folder); it != known_.end()) return it->second;
    std::string shortForm = pc.ShortPath(folder);
    if (!shortForm.empty()) known_.emplace(folder, shortForm);
    return shortForm;
}

CopyOutcome InstallVersionedFile(SetupSession& s, SetupUi& ui, const std::string& sourceFolder,
                                 const std::string& destFolder, const std::string& sourceName,
                                 const std::string& destName, double errorCheck, ShortFolderNames* folders) {
    Computer& pc = *s.computer;
    const std::string destPath = destFolder + destName;
    uint32_t result = 0;
    unsigned long systemError = 0;
    try {
        // Nothing to compare: the copy is all the version installer would do. A new file
        // made under its long name gets the same short name as the placeholder would.
        const NewFileCopy direct = pc.CopyIntoNewFile(sourceFolder + sourceName, destPath);
        if (direct == NewFileCopy::Made) {
            s.Log("installed: " + destPath);
            return CopyOutcome::Installed;
        }
        if (direct == NewFileCopy::NoRoom) {
            // Not handed to the version installer, which would leave its temporary copy:
            // what room is left is needed for the records.
            s.LogFailure("copy " + sourceFolder + sourceName + " to " + destPath + " (no room on the drive)",
                         pc.LastError());
            TellCopyFailed(s, ui, destPath, VersionResult::OutOfSpace, errorCheck);
            return CopyOutcome::Failed;
        }
        pc.ClearError();
        // A name already taken is a file there unless it is a folder. (Opening the file
        // to see that it exists costs Wine a tenth of a millisecond.)
        if (direct == NewFileCopy::NameTaken ? !pc.FolderExists(destPath) : pc.FileCanBeRead(destPath)) {
            // The same files by their long names: the same decision. (Wine finds a short
            // name by reading the whole folder at every access: a millisecond per file.)
            result = pc.InstallVersionedFile(sourceName, destName, sourceFolder, destFolder);
            systemError = pc.LastError();
        } else {
            ShortFolderNames once;
            ShortFolderNames& known = folders ? *folders : once;
            // Each short form that the system cannot give stays empty; the version
            // installer then fails and the failure is reported below.
            const std::string shortSourceFolder = known.Of(pc, sourceFolder);
            const std::string shortSourceName = pc.ShortNameInFolder(sourceFolder + sourceName);
            const std::string shortDestFolder = known.Of(pc, destFolder);
            const std::string shortDestName = ShortNameOf(pc, destPath);
            result =
                pc.InstallVersionedFile(shortSourceName, shortDestName, shortSourceFolder, shortDestFolder);
            systemError = pc.LastError();
            // Windows gives a file made under a short name right after the placeholder of
            // that name was deleted the placeholder's long name again (file-name tunnelling).
            // Where the system does not, the copy carries the short name: it is renamed.
            if (result == 0 && !shortDestName.empty() && shortDestName != destName &&
                !pc.FileCanBeRead(destPath) && pc.FileCanBeRead(destFolder + shortDestName))
                pc.RenameFile(destFolder + shortDestName, destPath);
        }
        // A temporary copy the version installer may leave in the destination folder stays.
    } catch (...) {
        s.LogFailure("copy " + destPath + " (an unexpected error)", 0);
        return CopyOutcome::Failed;
    }

    if (result == 0) {
        s.Log("installed: " + destPath);
        return CopyOutcome::Installed;
    }
    // An older source file that the installer refused is not a failure.
    if ((result & VersionResult::SourceIsOlder) != 0) {
        s.Log("kept (the file on the computer is newer): " + destPath);
        return CopyOutcome::KeptNewer;
    }
    s.LogFailure("copy " + sourceFolder + sourceName + " to " + destPath + " (version installer result &H" +
                     UpperHex(result) + ")",
                 systemError);
    TellCopyFailed(s, ui, destPath, result, errorCheck);
    return CopyOutcome::Failed;
}

void TellCopyFailed(SetupSession& s, SetupUi& ui, const std::string& destPath, uint32_t result,
                    double errorCheck) {
    if (errorCheck != 0) return;
    try {
        ui.Tell("The file " + destPath + "\r\n" +
                "could not be copied. Make sure that this file is not currently in use by Windows and "
                "that there is sufficient room on the destination drive." +
                "\r\n\r\n" + "File Copy Error: &H" + UpperHex(result));
    } catch (...) {
    }
    s.installErrors = true;
}

void RefuseWildcardDestination(SetupSession& s, SetupUi& ui, const std::string& sourcePath,
                               const std::string& destPath, double errorCheck) {
    s.LogFailure("copy " + sourcePath + " to " + destPath +
                     " (the name holds * or ?, which no file can have; it is not recorded, for its record "
                     "would delete every file that matches it at uninstall)",
                 SystemError::InvalidName);
    TellCopyFailed(s, ui, destPath, VersionResult::CannotCreate, errorCheck);
}

void InstallFont(const SetupSession& s, SetupUi& ui, const std::string& fontPath,
                 const std::string& fontName) {
    Computer& pc = *s.computer;
    Step(s, "add font " + fontPath, [&] {
        if (pc.AddFont(fontPath)) {
            s.Log("font added: " + fontPath);
            return true;
        }
        ui.Tell("Could not install font: " + fontPath);
        return false;
    });
    // Listed under the Fonts key even when the system refused the font just now.
    Step(s, "list font " + fontName + " under the Fonts key", [&] {
        return pc.SetValue(RegHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts",
                           fontName, fontPath, 1) == 0;
    });
    pc.AnnounceFontChange();
}

void DeleteFileQuietly(const SetupSession& s, const std::string& path) {
    Computer& pc = *s.computer;
    try {
        // The matches are gathered first, so that deleting does not disturb the search.
        for (const std::string& file : pc.MatchingFiles(path)) {
            // A read-only file or a file in use stays; nothing is reported to the user.
            if (pc.DeleteOneFile(file))
                s.Log("deleted: " + file);
            else
                s.LogFailure("delete " + file, pc.LastError());
        }
    } catch (...) {
    }
}
