// The installation without any window that deployment tools start ("unattended"): no
// splash, main window, wizard, message box or copy screen. Every message box that the
// run would show is written to the setup log with the answer taken.
#pragma once
#include <string>

#include "engine/session.h"
#include "script/command_line.h"

// The destination that the run starts from: the command line's dest= (a folder macro at
// its start expanded, a trailing backslash added when missing), or else DefaultDir with
// its macro expanded, as the wizard proposes it.
std::string ProposedDestination(const SetupSession& s, const CommandWords& words);

// The preliminary messages (into the log), the license counted as accepted, the
// destination of ProposedDestination with the checks of any destination, both install
// passes and the closing actions, which end the program. Returns, with the exit code set,
// when the destination is refused or cannot be made, or an unexpected error ended the run.
void RunUnattendedInstall(SetupSession& s, const CommandWords& words);
