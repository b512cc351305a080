// Helpers shared by the install passes and the uninstaller, which carry out the script
// action by action: a failing action is abandoned quietly and the next one runs.
#pragma once
#include <functional>
#include <string>
#include <string_view>

// Runs one action; whatever it throws ends only that action.
template <class Action> void Step(Action&& action) noexcept {
    try {
        action();
    } catch (...) {
    }
}

// The key of item n of a script list: base name, number, attribute word (srcfile4NoOverwrite).
inline std::string ItemKey(std::string_view base, int n, std::string_view attribute = {}) {
    std::string key(base);
    key += std::to_string(n);
    key += attribute;
    return key;
}

// True when the count key reads as a number above 0: the test in front of every list.
bool ListHasItems(std::string_view countKey);
// The list's upper bound: the count key read as a count (0 or less: empty list).
int ListCount(std::string_view countKey, std::string_view section = "install");

// Programs started without waiting (component registration, Explorer on the destination).
// Returns false when the program could not be started. Tests set a hook to see the
// command lines instead of starting anything.
bool StartIndependentProgram(const std::string& commandLine);
using ProgramStartHook = std::function<bool(const std::string& commandLine)>;
void SetProgramStartHook(ProgramStartHook hook);
