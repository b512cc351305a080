// Helpers shared by the install passes, the uninstaller and the closing actions, which
// carry out the script action by action: a failing action is abandoned, written to the
// setup log, and the next one runs.
#pragma once
#include <string>
#include <string_view>
#include <type_traits>

#include "engine/session.h"

// Runs one action named `what`. An action that returns false has failed: its failure is
// logged with the computer's error. Whatever the action throws ends only that action and is
// logged too.
template <class Action> void Step(const SetupSession& s, std::string_view what, Action&& action) noexcept {
    try {
        if constexpr (std::is_same_v<std::invoke_result_t<Action>, bool>) {
            s.computer->ClearError();
            if (!action()) s.LogFailure(what, s.computer->LastError());
        } else {
            action();
        }
    } catch (...) {
        try {
            s.LogFailure(std::string(what) + " (an unexpected error)", 0);
        } catch (...) {
        }
    }
}

// The key of item n of a script list: base name, number, attribute word (srcfile4NoOverwrite).
inline std::string ItemKey(std::string_view base, int n, std::string_view attribute = {}) {
    std::string key(base);
    key += std::to_string(n);
    key += attribute;
    return key;
}

// The list's upper bound: the count key read as a count (0 or less: empty list).
int ListCount(const SetupSession& s, std::string_view countKey, std::string_view section = "install");

// True when the count key reads as a number above 0.
bool ListHasItems(const SetupSession& s, std::string_view countKey);

// The lists of the script: when the count key reads as a number above 0 (the test in
// front of every list), `item(n)` runs for n = 1 to the count, read once as a count.
template <class Item> void ForEachListItem(const SetupSession& s, std::string_view countKey, Item&& item) {
    if (!ListHasItems(s, countKey)) return;
    const int count = ListCount(s, countKey);
    for (int n = 1; n <= count; ++n) item(n);
}
// A text that is empty or holds nothing but blanks.
bool IsBlank(std::string_view text);
