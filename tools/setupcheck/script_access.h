// The one place where setupcheck calls the program's script reader and its system
// folders. Everything the tool learns about a script's values comes through here, so
// that it reads exactly what setup.exe reads.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "script/macros.h"

// Reads one key of the script at `path` as setup.exe's ReadIni does.
std::string ReadScriptValue(const std::string& path, std::string_view key,
                            std::string_view section = "install");

// The folders that the macros name. On Windows they are asked of the system; elsewhere
// each macro stands for itself (see ShowUnexpandedMacros).
const FolderSource& PlanFolderSource();

// On a computer that is not Windows the resolved paths hold the macros themselves
// ("%windows%" followed by the backslash that a folder gets); this gives them back the
// spelling of the script ("%windows%Fonts\x.ttf"). Elsewhere the text is unchanged.
std::string ShowUnexpandedMacros(std::string text);
