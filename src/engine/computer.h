// Everything the install passes and the uninstaller ask of the computer they work on: its
// files and folders, the version installer, fonts, the registry, programs, the setup
// toolkit, the scripts on its disks and the clock of the setup log. The engine owns this
// interface and names it in its own words; it never includes a system header.
//
// Two computers implement it: the real one (WindowsComputer, src/system), which hands each
// call to the system, and a simulated one (SimulatedComputer, src/engine/simulated), which
// keeps files, folders and registry keys in memory with the rules of the real one that the
// engine relies on. The plan of an installation and the engine's fast tests run on the
// simulated computer; setup.exe runs on the real one.
//
// No procedure here shows anything to the user or decides what a failure means: each
// reports success, and the system's error code of the last call that failed stays readable
// (LastError) until the next call, so that the engine can write it to the setup log.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/registry_roots.h"
#include "script/macros.h"

// The system's error codes that the engine tells apart or names itself.
namespace SystemError {
inline constexpr unsigned long None = 0;
inline constexpr unsigned long FileNotFound = 2;
inline constexpr unsigned long PathNotFound = 3;
inline constexpr unsigned long AccessDenied = 5;
inline constexpr unsigned long DiskFull = 112;
inline constexpr unsigned long InvalidName = 123;
inline constexpr unsigned long AlreadyExists = 183;
} // namespace SystemError

// The version installer's result bits: 0 is a file copied; SourceIsOlder is no failure.
namespace VersionResult {
inline constexpr uint32_t SourceIsOlder = 0x0004;     // the file on the computer is newer
inline constexpr uint32_t CannotCreate = 0x0800;      // the new file cannot be made
inline constexpr uint32_t CannotDelete = 0x1000;      // the old file cannot be removed
inline constexpr uint32_t CannotRename = 0x2000;      // the temporary copy keeps its name
inline constexpr uint32_t CannotReadSource = 0x10000; // the source cannot be opened
inline constexpr uint32_t OutOfSpace = 0x0100;        // the drive has no room for it
} // namespace VersionResult

// What a copy into a file that does not exist yet came to (Computer::CopyIntoNewFile).
enum class NewFileCopy { Made, NameTaken, NotMade, NoRoom };

// A registry status: 0 when the call was done, otherwise the system's error code.
using RegStatus = long;

class Computer {
  public:
    virtual ~Computer() = default;

    // --- Errors --------------------------------------------------------------------
    // The error code of the last call that failed (on this thread), and its reset, so that
    // a failure that sets no code is not logged with an older one.
    virtual unsigned long LastError() = 0;
    virtual void ClearError() = 0;
    // The system's text for an error code, on one line; empty for 0.
    virtual std::string ErrorText(unsigned long error) = 0;

    // --- Asking about files and folders --------------------------------------------
    // The path (one trailing backslash removed) is a file that opens for reading.
    virtual bool FileCanBeRead(const std::string& path) = 0;
    // A search of the file's folder finds the file, whatever locks it; a name with * or ?
    // is found by no search, and a folder is no file.
    virtual bool FileIsListed(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // The short (8.3) form of an existing path; empty when there is none.
    virtual std::string ShortPath(const std::string& path) = 0;
    // The short name of an existing file or folder as its folder lists it; empty when
    // nothing of that name exists.
    virtual std::string ShortNameInFolder(const std::string& path) = 0;
    // The full paths of the files (not folders) that `pattern` names; its last part may
    // hold * and ?.
    virtual std::vector<std::string> MatchingFiles(const std::string& pattern) = 0;

    // --- Changing files and folders ------------------------------------------------
    // One folder level (its parent must exist); a trailing backslash is ignored.
    virtual bool CreateOneFolder(const std::string& folder) = 0;
    // Every missing level; when the folder cannot be made whole, the levels made on the
    // way are removed again and the failing level's error stays readable.
    virtual bool CreateWholeFolder(const std::string& folder) = 0;
    // A plain copy that overwrites the target.
    virtual bool CopyFileOver(const std::string& source, const std::string& target) = 0;
    // Renames a file within its drive; fails when the target exists.
    virtual bool RenameFile(const std::string& source, const std::string& target) = 0;
    // Puts a copy of `source` in the place of `target` in one step (never half of either);
    // the copy is never read-only.
    virtual bool ReplaceWithCopy(const std::string& source, const std::string& target) = 0;
    // Takes the read-only attribute off a file; true when the file is there without it.
    virtual bool ClearReadOnly(const std::string& path) = 0;
    // An empty file where nothing of that name exists; false when something does.
    virtual bool CreatePlaceholderFile(const std::string& path) = 0;
    // The copy the version installer makes when it has nothing to compare, made under
    // TemporaryCopyName(target) and renamed when whole; nothing is left behind otherwise.
    virtual NewFileCopy CopyIntoNewFile(const std::string& source, const std::string& target) = 0;
    // Deletes one file; read-only files and files in use stay.
    virtual bool DeleteOneFile(const std::string& path) = 0;

    // --- The version installer -----------------------------------------------------
    // Installs sourceFolder+sourceName as destFolder+destName unless the file there is
    // newer; the names and folders as the version installer takes them (short forms for a
    // new file). Returns its result bits (VersionResult).
    virtual uint32_t InstallVersionedFile(const std::string& sourceName, const std::string& destName,
                                          const std::string& sourceFolder, const std::string& destFolder) = 0;

    // --- Fonts ---------------------------------------------------------------------
    // Adds the font file to the system's font table; false when the system refuses it.
    virtual bool AddFont(const std::string& fontPath) = 0;
    // Tells every program that the fonts changed.
    virtual void AnnounceFontChange() = 0;

    // --- The registry --------------------------------------------------------------
    // Creates the key and any missing keys above it; an existing key stays as it is.
    virtual RegStatus CreateKey(RegRoot root, std::string_view subKey) = 0;
    // Writes a value under an existing key (never creates the key): type 1 a string,
    // type 4 a 32-bit number (given as text; one that does not fit is not written).
    virtual RegStatus SetValue(RegRoot root, std::string_view subKey, std::string_view name,
                               std::string_view value, int type) = 0;
    // Deletes the key with its subkeys. Root 0 or a path of only blanks and backslashes:
    // nothing, status FileNotFound.
    virtual RegStatus DeleteKey(RegRoot root, std::string_view subKey) = 0;
    // Deletes one value (the key's default value when the name is empty).
    virtual RegStatus DeleteValue(RegRoot root, std::string_view subKey, std::string_view name) = 0;
    // The key exists and holds neither values nor subkeys.
    virtual bool KeyIsEmpty(RegRoot root, std::string_view subKey) = 0;
    // A string value trimmed of blanks and cut at its first NUL; empty when missing.
    virtual std::string ReadString(RegRoot root, std::string_view subKey, std::string_view name) = 0;

    // --- Programs and the setup toolkit --------------------------------------------
    // Runs a command line and returns when its program has ended (at once, silently,
    // when it cannot be started).
    virtual void RunAndWait(const std::string& commandLine) = 0;
    virtual bool CreateShellFolder(const std::string& folder) = 0;
    virtual bool CreateShellLink(const std::string& folder, const std::string& name,
                                 const std::string& target, const std::string& arguments) = 0;
    virtual bool RemoveShellLink(const std::string& folder, const std::string& name) = 0;

    // --- Folders the macros name, letter case ---------------------------------------
    virtual const FolderSource& Folders() = 0;
    // Lower case as the system's code page has it.
    virtual std::string LowerCase(std::string_view text) = 0;

    // --- Scripts -------------------------------------------------------------------
    // A key of the INI file at `path`, read as the system's profile functions read it.
    virtual std::string ReadScript(const std::string& path, std::string_view section,
                                   std::string_view key) = 0;
    // Writes a key as given (callers choose the letter case); on disk when it returns.
    virtual bool WriteScript(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view value) = 0;
    // Drops what is remembered of a script before another program rewrites it.
    virtual void ForgetScript(std::string_view path) = 0;
    // From now until StopHoldingScript, writes to that script may keep it open.
    virtual void HoldScript(const std::string& path) = 0;
    virtual void StopHoldingScript() = 0;

    // --- The setup log -------------------------------------------------------------
    // The local time as "YYYY-MM-DD hh:mm:ss".
    virtual std::string LocalTimeText() = 0;
    // The user's temporary folder, ending in a backslash.
    virtual std::string TemporaryFolder() = 0;
    // The log file opened for appending, shared with other programs; null when it cannot be.
    virtual std::FILE* OpenLogFile(const std::string& path) = 0;
};

// The name under which a new file is copied before it gets its own: its name with ".kvnew"
// appended. The uninstaller removes it with the recorded file.
inline std::string TemporaryCopyName(const std::string& target) {
    return target + ".kvnew";
}
