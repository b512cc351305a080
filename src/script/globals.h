// The module-wide globals of the setup program: one instance each for the whole run.
// They live in the portable library because the script access and the path macros
// read them (SourceDir, DestDir); start-up sets them.
#pragma once
#include <cstdint>
#include <string>

// Folder of the running setup program, always ending in a backslash.
extern std::string SourceDir;
// Destination folder of the product; expected to end in a backslash.
extern std::string DestDir;
// The command line holds the word "quiet".
extern bool QuietMode;
// Number of the wizard screen now shown.
extern int16_t CurrentScreen;
// Answer of the text reader window: 1 accepted, 0 refused or closed.
extern int16_t ReaderAnswer;
// Folder handed back by the folder chooser; empty when the user cancelled.
extern std::string ChosenFolder;
// The user asked to stop the component search.
extern bool SearchCancelled;
// At least one file copy failed during the installation.
extern bool InstallErrors;

// Title of every message box that is given no title of its own.
inline constexpr const char* AppTitle = "KavexInstall Setup";
