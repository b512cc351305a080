// The setup toolkit library STKIT432.DLL, loaded by name from the program's own folder
// the first time one of its functions is called. Each wrapper converts its arguments to
// narrow strings and returns false when the library or the function cannot be had; the
// shortcut wrappers also return false when the function reports that it did not do its
// work (its result is used for the setup log only).
#pragma once
#include <cstdint>
#include <string>

bool ToolkitDiskSpaceFree(int32_t& freeBytes);
bool ToolkitCreateShellFolder(const std::string& folder);
bool ToolkitCreateShellLink(const std::string& folder, const std::string& name, const std::string& target,
                            const std::string& arguments);
bool ToolkitRemoveShellLink(const std::string& folder, const std::string& name);
