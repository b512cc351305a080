// The install passes show their progress through this one procedure; the wizard's copy
// screen implements it (text box and bar). Unit tests set a hook to watch it instead.
#pragma once
#include <functional>
#include <string>

// Shows `text` as the current action and the bar at done/total; repaints at once.
void ShowProgress(int done, int total, const std::string& text);

using ProgressHook = std::function<void(int done, int total, const std::string& text)>;
void SetProgressHook(ProgressHook hook);
