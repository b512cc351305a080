// The program's start-up: refuses a second copy, reads the command words, shows the
// splash window, opens the main window and starts the uninstaller or the wizard.
#pragma once
#include <string>
#include <string_view>

void Main();

// The command line's arguments hold `word` as one of their blank-separated pieces
// (letter case ignored).
bool HasCommandWord(std::string_view word);

// The same test on a given argument text: split at every single blank (two blanks in a
// row give an empty piece), pieces compared without regard to case.
bool ArgumentsHaveWord(std::string_view arguments, std::string_view word);
// The arguments of a command line: what follows the program's name (quoted or not) and
// the blanks after it.
std::string CommandArguments(std::string_view commandLine);
// The setup program's folder from the path of its executable file, ending in a backslash
// ("C:\setup.exe" gives "C:\", "C:\Disk1\setup.exe" gives "C:\Disk1\").
std::string ProgramFolderOf(std::string_view exePath);
