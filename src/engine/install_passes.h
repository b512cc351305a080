// The two install passes that carry out the script after the user pressed Finish.
#pragma once
#include "engine/session.h"
#include "engine/setup_ui.h"

enum class PassOneOutcome {
    Completed, // the lists were carried out (each failing item skipped, as always)
    Stopped,   // the destination folder could not be created: the user has been told,
               // nothing was changed, and the installation ends there
};

// Destination folder, removal of an earlier installation, the Setup folder, the kill,
// move and file lists.
PassOneOutcome RunInstallPassOne(SetupSession& session, SetupUi& ui);
// Components, registry entries, file types, shortcuts and the uninstall registration.
void RunInstallPassTwo(SetupSession& session, SetupUi& ui);
