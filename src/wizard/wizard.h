// The wizard's state machine and the procedures that end the setup.
#pragma once
#include <cstdint>
#include <string>

// Adds step (+1, -1 or 0) to CurrentScreen and shows that screen, or runs the work tied
// to it and passes the same step on.
void ShowWizardScreen(int16_t& step);
// Hides every panel and puts both navigation buttons back to "< &Back" / "&Next >", enabled.
void ResetWizardScreens();
// Unloads the wizard and the main window and ends the program at once.
[[noreturn]] void AbortSetup();

// The destination screen's free-space label for a DriveFreeSpace result: whole
// megabytes and the drive ("50MB of free space on drive C:"), empty for "unknown".
std::string FreeSpaceLabel(const std::string& freeSpace, const std::string& destDir);
// The ready screen's warning when estimatedSize (the script text) is at least the free
// space; empty when there is nothing to warn about.
std::string DiskSpaceWarning(const std::string& freeSpace, const std::string& estimatedSize,
                             const std::string& programName);
