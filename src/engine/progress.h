// The install passes show their progress through this one procedure; the wizard's copy
// screen implements it (text box and bar), tests may replace what it draws on.
#pragma once
#include <string>

// Shows `text` as the current action and the bar at done/total; repaints at once.
void ShowProgress(int done, int total, const std::string& text);
