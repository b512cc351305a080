// Removal of an installed product, driven by the installed copy of the script.
#pragma once
#include "engine/session.h"
#include "engine/setup_ui.h"

enum class UninstallOutcome {
    Removed,        // the recorded items were removed and the script marked uninstalled
    Declined,       // the user answered No: nothing changed
    AlreadyRemoved, // the script was marked uninstalled already: nothing changed
    Failed,         // an unexpected error ended the removal before its end
};

// The exit code of an uninstall run that ended so: 0, 1602, 1605 or 1603.
unsigned long UninstallExitCode(UninstallOutcome outcome);

// Asks (unless quiet), removes what the installed script records, marks the script
// uninstalled and, unless quiet, tells the user and opens Explorer on the destination.
UninstallOutcome RunUninstall(SetupSession& session, SetupUi& ui);
