// The tool's output: findings as a compiler prints its messages, the plan as text or JSON.
#pragma once
#include <string>
#include <vector>

#include "findings.h"
#include "plan.h"

// "setup.ini:12: warning: message [rule]", one line each.
std::string FindingsText(const std::vector<Finding>& findings, const std::string& scriptName);
// 0 clean, 1 warnings only, 2 errors.
int ExitCode(const std::vector<Finding>& findings);

// The heading ("Installation into C:\Acme\"), then one numbered line per action.
std::string PlanText(const std::vector<PlanAction>& plan, const std::string& heading);
// {"run": "install" or "uninstall", "destination": ..., "actions": [ one object per line ]},
// every text converted from the script's code page (a supported one, see code_page.h) to UTF-8.
std::string PlanJson(const std::vector<PlanAction>& plan, const std::string& destDir, int codePage = 1252,
                     bool uninstall = false);
