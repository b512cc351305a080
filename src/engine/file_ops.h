// File operations of the install passes and the uninstaller: the versioned copy, fonts and
// quiet deletion, with the messages the user sees when they fail.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

#include "engine/session.h"
#include "engine/setup_ui.h"

// What a versioned copy came to.
enum class CopyOutcome {
    Installed, // the file is in place
    KeptNewer, // the file on the computer is newer and stays
    Failed,    // the copy failed (the user was told unless errorCheck was set)
};

// The short (8.3) forms of folders that stay as they are for the whole of an installation
// (the distribution folder, the destination's folders): the system is asked once for
// each. An installation keeps one for its own run; a folder that has no short form yet
// (it does not exist) is asked for again next time.
class ShortFolderNames {
  public:
    std::string Of(Computer& pc, const std::string& folder);

  private:
    std::unordered_map<std::string, std::string> known_;
};

// Copies sourceFolder+sourceName to destFolder+destName through the system's version
// installer, so that a newer file on the computer is not replaced by an older one. A
// failed copy (other than "the file on the computer is newer") is reported in a message
// box and remembered in the session's installErrors, unless errorCheck is non-zero.
// Where the destination exists, the version installer decides, given the paths as they
// are. Where it does not, the version installer has nothing to compare: the file is then
// copied directly into a new file, which comes out as the version installer would make
// it (under a temporary name first, see CopyIntoNewFile); a copy for which the drive has no
// room fails at once, leaving nothing behind; a source that the version installer would
// treat otherwise (a compressed one) and a direct copy that fails otherwise go to the
// version installer, given the short forms of the paths
// (the new file gets its short name through an empty placeholder and is renamed to its
// long name where the system does not do that itself). `folders`, when given, keeps the
// folders' short forms between calls.
CopyOutcome InstallVersionedFile(SetupSession& s, SetupUi& ui, const std::string& sourceFolder,
                                 const std::string& destFolder, const std::string& sourceName,
                                 const std::string& destName, double errorCheck = 0,
                                 ShortFolderNames* folders = nullptr);
// A file list entry whose destination name holds * or ? (GetPathPart 1): no file can have
// that name. Nothing is copied; the log says why, and the user gets the message of a failed
// copy (File Copy Error &H800, the version installer's "cannot create"), unless errorCheck
// is set. The caller records nothing: the uninstaller would delete every file it matches.
void RefuseWildcardDestination(SetupSession& s, SetupUi& ui, const std::string& sourcePath,
                               const std::string& destPath, double errorCheck = 0);
// Tells the user that the file at `destPath` could not be copied (with the version
// installer's result) and remembers it in the session's installErrors, unless errorCheck
// is non-zero.
void TellCopyFailed(SetupSession& s, SetupUi& ui, const std::string& destPath, uint32_t result,
                    double errorCheck);
// Adds the font to the system (telling the user when the system refuses it), lists it
// under the Fonts key and tells all windows.
void InstallFont(const SetupSession& s, SetupUi& ui, const std::string& fontPath,
                 const std::string& fontName);
// Deletes every file the path names (its last part may hold * and ?); never reports
// anything to the user. Each deleted file, and each that stays, is logged.
void DeleteFileQuietly(const SetupSession& s, const std::string& path);
