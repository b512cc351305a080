// File operations of the install passes and the uninstaller: the versioned copy, fonts and
// quiet deletion, with the messages the user sees when they fail.
#pragma once
#include <string>

#include "engine/session.h"
#include "engine/setup_ui.h"

// What a versioned copy came to.
enum class CopyOutcome {
    Installed, // the file is in place
    KeptNewer, // the file on the computer is newer and stays
    Failed,    // the copy failed (the user was told unless errorCheck was set)
};

// Copies sourceFolder+sourceName to destFolder+destName through the system's version
// installer, so that a newer file on the computer is not replaced by an older one. A
// failed copy (other than "the file on the computer is newer") is reported in a message
// box and remembered in the session's installErrors, unless errorCheck is non-zero.
CopyOutcome InstallVersionedFile(SetupSession& s, SetupUi& ui, const std::string& sourceFolder,
                                 const std::string& destFolder, const std::string& sourceName,
                                 const std::string& destName, double errorCheck = 0);
// Adds the font to the system (telling the user when the system refuses it), lists it
// under the Fonts key and tells all windows.
void InstallFont(const SetupSession& s, SetupUi& ui, const std::string& fontPath,
                 const std::string& fontName);
// Deletes every file the path names (its last part may hold * and ?); never reports
// anything to the user. Each deleted file, and each that stays, is logged.
void DeleteFileQuietly(const SetupSession& s, const std::string& path);
