// The system folders that the path macros name, asked of the system.
#pragma once
#include <string>
#include <string_view>
#include "script/macros.h"

// The Windows folder as the system reports it (no trailing backslash), or empty.
std::string GetWindowsFolder();
// The system folder as the system reports it (no trailing backslash), or empty.
std::string GetSystemFolder();
// Value `name` of HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders, or empty.
std::string GetShellFolder(std::string_view name);

// The FolderSource that asks the system; start-up installs it with SetFolderSource.
const FolderSource& SystemFolderSource();
