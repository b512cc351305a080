// The two install passes that carry out the script after the user pressed Finish.
#pragma once

// Destination folder, removal of an earlier installation, the Setup folder, the kill,
// move and file lists.
void RunInstallPassOne();
// True when the last RunInstallPassOne could not create the destination folder: the user
// has been told, nothing was changed, and the installation ends there (the wizard then
// closes as after a cancel; RunInstallPassTwo does nothing).
bool InstallationStopped();
// Components, registry entries, file types, shortcuts and the uninstall registration.
void RunInstallPassTwo();
