// The program's access to the file system and the shell, in procedures named for what
// they do. Nothing here shows anything to the user or decides what a failure means: each
// procedure reports success, and the system's error code stays readable (GetLastError)
// right after a call that failed, so that callers can write it to the setup log.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/computer.h" // NewFileCopy, TemporaryCopyName

// --- Tests ---------------------------------------------------------------------------
// True when the path (one trailing backslash removed) is a file that can be opened for
// reading; a file that another program has open with sharing still counts.
bool FileCanBeRead(const std::string& path);
// True when a search of the file's folder finds the file, whatever locks it (a file open
// without read sharing counts). The path is taken literally: a name with * or ? is found
// by no search, and a folder is no file.
bool FileIsListed(const std::string& path);
// True when the path names an existing folder.
bool FolderExists(const std::string& path);
// The short (8.3) form of an existing path; empty when the system cannot give one.
std::string GetShortPath(const std::string& path);
// The short (8.3) name of an existing file or folder, as its folder lists it: the last
// part of GetShortPath of the path, without asking for the folders above it again.
// Empty when nothing of that name exists.
std::string ShortNameInFolder(const std::string& path);

// --- Folders -------------------------------------------------------------------------
// Creates one folder level (its parent must exist); a trailing backslash is ignored.
// False with the system's error code readable when it cannot be made.
bool CreateOneFolder(const std::string& folder);
// Creates every missing level of the folder; true when it exists afterwards. When it
// cannot be made whole, the levels it made are removed again (deepest first, each only
// while it is empty), and the error of the level that failed stays readable.
bool CreateWholeFolder(const std::string& folder);
// The process's current folder, or empty when it cannot be read.
std::string CurrentFolder();
// Makes `folder` the current folder ("X:" makes drive X current, in its last folder).
bool SetCurrentFolder(const std::string& folder);
// The folder last used on a drive (the drive's own current folder), or its root.
std::string DriveCurrentFolder(char letter);

// --- Files ---------------------------------------------------------------------------
// A plain copy that overwrites the target.
bool CopyFileOver(const std::string& source, const std::string& target);
// Renames (moves) a file within its drive; fails when the target exists.
bool RenameFile(const std::string& source, const std::string& target);
// Puts a copy of `source` in the place of `target` in one step: the copy is made beside the
// target (its name with ".kvnew" appended), flushed to the medium and renamed over it, so
// that a program ended in the middle or a power cut leaves the old file or the new one,
// never a part of one. Where that cannot be done (a full disk, a file in use), `target`
// stays as it was, nothing is left beside it, and the result is false.
// The copy is never read-only, whatever its source is.
bool ReplaceWithCopy(const std::string& source, const std::string& target);
// Takes the read-only attribute off a file; true when the file is there without it.
bool ClearReadOnly(const std::string& path);
// Creates `path` as an empty file when nothing of that name exists; false when something
// does or it cannot be made, so that the caller never deletes a file that was there.
bool CreatePlaceholderFile(const std::string& path);
// Copies `source` into `target`, which must not exist yet, as the version installer does
// when it has nothing to compare: a new file of normal attributes with the source's bytes
// and times. The copy is made under TemporaryCopyName(target) in the same folder and
// renamed to `target` when it is whole. Nothing is left behind when something of that name
// exists (NameTaken), when the source is compressed (the version installer expands it),
// when the drive has no room for the file (NoRoom) or when the copy fails otherwise.
NewFileCopy CopyIntoNewFile(const std::string& source, const std::string& target);
// Deletes one file. Read-only files and files in use stay (false).
bool DeleteOneFile(const std::string& path);
// The full paths of the files (not folders) that `pattern` names; its last part may
// hold * and ?.
std::vector<std::string> MatchingFiles(const std::string& pattern);
// Reads a whole normal file as bytes; false for a folder, a wildcard path, a missing or
// unreadable file.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// The system's version installer, not forced (a newer file on the computer is kept),
// given short names and folders as it expects them. Returns its result bits (0: copied).
uint32_t VersionInstallFile(const std::string& sourceName, const std::string& destName,
                            const std::string& sourceFolder, const std::string& destFolder);

// --- Fonts ---------------------------------------------------------------------------
// Adds the font file to the system's font table; false when the system refuses it.
bool AddFontFile(const std::string& fontPath);
// Tells every top-level window that the fonts changed.
void BroadcastFontChange();

// --- Drives --------------------------------------------------------------------------
struct DriveEntry {
    char letter;       // 'A' to 'Z'
    unsigned type;     // the system's drive type (3 fixed, 4 network, ...)
    std::string label; // volume label of a fixed drive; empty when it has none
};
// Every drive of the computer, A to Z, with its type and the label of a fixed drive.
std::vector<DriveEntry> ListDrives();
// Free bytes of the drive named by the first letter of `path`, as the setup toolkit
// measures them on that drive made current (at most 2,147,483,647); nothing when the
// drive cannot be made current or measured. The current drive and folder are restored.
std::optional<int64_t> DriveFreeBytes(const std::string& path);

// --- Shell ---------------------------------------------------------------------------
// Opens a document with the program the system associates with it, not waiting for it.
// `ownerWindow` is the window that owns any message the shell shows (may be null).
bool OpenDocument(const std::string& path, void* ownerWindow);
