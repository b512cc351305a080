// Removal of an installed product, driven by the installed copy of the script.
#pragma once

void RunUninstall();
