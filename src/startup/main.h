// The program's start-up: refuses a second copy, reads the command words, shows the
// splash window, opens the main window and starts the uninstaller, the unattended
// installation or the wizard.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/session.h"
#include "engine/setup_log.h"
#include "system/windows_computer.h"
#include "wizard/wizard.h"

// What one run of the program works with: the computer, its session, its log and, in
// install mode, its wizard. The program's entry makes it; it lives until the program ends.
struct SetupRun {
    WindowsComputer computer;
    SetupSession session;
    SetupLog log;
    std::optional<Wizard> wizard;
};

void Main(SetupRun& run);

// The setup program's folder from the path of its executable file, ending in a backslash
// ("C:\setup.exe" gives "C:\", "C:\Disk1\setup.exe" gives "C:\Disk1\").
std::string ProgramFolderOf(std::string_view exePath);
