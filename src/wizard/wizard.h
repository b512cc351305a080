// The wizard's state machine and the procedures that end the setup.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// Adds step (+1, -1 or 0) to the wizard's CurrentScreen and shows that screen, or runs
// the work tied to it and passes the same step on.
void ShowWizardScreen(int16_t& step);
// Hides every panel and puts both navigation buttons back to "< &Back" / "&Next >", enabled.
void ResetWizardScreens();
// Unloads the wizard and the main window and ends the program at once.
[[noreturn]] void AbortSetup();

// The destination screen's free-space label for the free bytes of the destination's
// drive: whole megabytes and the drive ("50MB of free space on drive C:"); empty when the
// free space is unknown.
std::string FreeSpaceLabel(std::optional<int64_t> freeBytes, const std::string& destDir);
// The ready screen's warning when estimatedSize (the script text, in megabytes) is at least
// the free space (unknown counts as none); empty when there is nothing to warn about.
std::string DiskSpaceWarning(std::optional<int64_t> freeBytes, const std::string& estimatedSize,
                             const std::string& programName);
