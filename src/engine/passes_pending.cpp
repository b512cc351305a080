// PLACEHOLDER until the install engine is built.
#include "engine/install_passes.h"
void RunInstallPassOne() {}
void RunInstallPassTwo() {}
