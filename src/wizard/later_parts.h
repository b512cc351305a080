// Procedures of the wizard's later screens: preliminary and closing actions, the license
// and text reader, the folder chooser and the component search.
#pragma once
#include <cstdint>
#include <string>

// Messages and documents shown with the welcome screen.
void RunPrelimActions();
// Closing messages, documents and programs, the error summary; ends the program.
void RunLastActions();
// The license screen; returns only when the installation may go on.
void ShowLicense();
// Shows a text file in the reader window; mode 1 is the license mode. Returns the answer.
int16_t ShowTextFile(const std::string& path, const std::string& caption, int16_t mode);
// Finds the folder of an earlier installation and makes it DestDir.
void FindComponents();
// Shows the folder chooser modally, starting at drive/folder; sets ChosenFolder.
void ShowFolderChooser(const std::string& drive, const std::string& folder);
