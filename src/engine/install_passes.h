// The two install passes that carry out the script after the user pressed Finish.
#pragma once

// Destination folder, removal of an earlier installation, the Setup folder, the kill,
// move and file lists.
void RunInstallPassOne();
// Components, registry entries, file types, shortcuts and the uninstall registration.
void RunInstallPassTwo();
