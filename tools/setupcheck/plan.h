// The plan of an installation: the install passes themselves, run on a simulated computer
// that starts as a clean one, and every change they made there, in the order they made
// it. The plan of its uninstall is the uninstaller's run on that computer after it.
#pragma once
#include <string>
#include <vector>

struct PlanAction {
    std::string kind;   // folder, copy, file, delete, rename, key, value, number, delete-key,
                        // delete-value, font, run, start, shortcut-folder, shortcut,
                        // remove-shortcut, record, message, failed
    std::string target; // the path, registry key, shortcut folder or "[section] key" acted on
    std::string name;   // a registry value's name, a shortcut's name, a message's title
    std::string value;  // the data: source, value, command, recorded text, message text
    std::string note;   // what else the action came to (a script other than the installed one,
                        // the version installer keeping a newer file, a font refused)
};

// The actions of an installation of the script at `scriptPath` from the distribution folder
// `sourceDir` into `destDir` (both ending in a separator, as setup.exe holds them). The
// distribution's files are read from the disk; nothing on the computer changes.
std::vector<PlanAction> BuildPlan(const std::string& scriptPath, const std::string& sourceDir,
                                  const std::string& destDir);
// The actions of the uninstall that follows that installation.
std::vector<PlanAction> BuildUninstallPlan(const std::string& scriptPath, const std::string& sourceDir,
                                           const std::string& destDir);
