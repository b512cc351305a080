// PLACEHOLDER: the later screens with their features off, until they are built.
#include "wizard/later_parts.h"
#include "script/globals.h"

void RunPrelimActions() {}
void ShowLicense() {}
int16_t ShowTextFile(const std::string&, const std::string&, int16_t) { return 0; }
void ShowFolderChooser(const std::string&, const std::string&) { ChosenFolder.clear(); }
