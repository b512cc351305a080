// The product's two registry keys under HKEY_LOCAL_MACHINE: its own key, whose default
// value is the destination (an earlier installation is found through it), and its entry
// in the system's list of installed programs.
#pragma once
#include <string>
#include <string_view>

inline constexpr std::string_view ProductKeyParent = "SOFTWARE\\Kavex Software\\";
inline constexpr std::string_view UninstallKeyParent =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

inline std::string ProductKeyPath(std::string_view productName) {
    return std::string(ProductKeyParent).append(productName);
}
inline std::string UninstallKeyPath(std::string_view productName) {
    return std::string(UninstallKeyParent).append(productName);
}

// Whether the product name names one key of its own below the two parents. A blank name,
// a name that begins or ends with a backslash, or one with an empty, "." or ".." part
// would name a parent key (the whole list of installed programs, every product's key) or
// another product's key: no product key or uninstall entry is made, or deleted, for it.
bool NamesOwnProductKey(std::string_view productName);
