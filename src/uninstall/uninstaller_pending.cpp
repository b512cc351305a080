// PLACEHOLDER until the uninstaller is built.
#include "uninstall/uninstaller.h"
void RunUninstall() {}
