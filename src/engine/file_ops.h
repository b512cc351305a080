// File operations shared by the install passes and the uninstaller.
#pragma once
#include <string>

// Copies sourceFolder+sourceName to destFolder+destName through the system's version
// installer, so that a newer file on the computer is not replaced by an older one. A
// failed copy (other than "the file on the computer is newer") is reported in a message
// box and remembered in InstallErrors, unless errorCheck is non-zero.
void InstallVersionedFile(const std::string& sourceFolder, const std::string& destFolder,
                          const std::string& sourceName, const std::string& destName, double errorCheck = 0);
// Adds the font to the system, lists it under the Fonts key and tells all windows.
void InstallFont(const std::string& fontPath, const std::string& fontName);
// Deletes every file the path names (its last part may hold * and ?); never reports anything.
void DeleteFileQuietly(const std::string& path);
// True when the path (one trailing backslash removed) is a file that can be opened for reading.
bool FileExists(const std::string& path);
// True when the path names an existing folder.
bool FolderExists(const std::string& path);
// The short (8.3) form of an existing path; empty when the system cannot give one.
std::string GetShortPath(const std::string& path);
