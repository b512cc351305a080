// The installation plan: every action that setup.exe would take to install the script's
// product into a destination folder, in the order in which its two passes take them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PlanAction {
    std::string kind;   // folder, copy, run, delete, delete-key, move, file, font, key, value,
                        // number (a 32-bit number value), component, filetype,
                        // shortcut-folder, shortcut, record
    std::string target; // the path, registry key or recorded key acted on
    std::string name;   // a registry value's name, a shortcut's name
    std::string value;  // the data: source, value, command, recorded text
    std::string note;   // when the action depends on the computer or on flags
};

// The plan of the script at `scriptPath` for the distribution folder `sourceDir` and the
// destination `destDir` (both ending in a backslash, as setup.exe holds them).
std::vector<PlanAction> BuildPlan(const std::string& scriptPath, const std::string& sourceDir,
                                  const std::string& destDir);

// A registry root number as its key name (HKEY_LOCAL_MACHINE), or empty when it names none.
std::string RootName(int32_t root);
