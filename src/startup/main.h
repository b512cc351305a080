// The program's start-up: refuses a second copy, reads the command words, shows the
// splash window, opens the main window and starts the uninstaller, the unattended
// installation or the wizard.
#pragma once
#include <string>
#include <string_view>

void Main();

// The setup program's folder from the path of its executable file, ending in a backslash
// ("C:\setup.exe" gives "C:\", "C:\Disk1\setup.exe" gives "C:\Disk1\").
std::string ProgramFolderOf(std::string_view exePath);
