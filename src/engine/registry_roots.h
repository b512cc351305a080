// The registry's root keys as the script and the program name them: the signed 32-bit
// handle value of a predefined key (HKEY_LOCAL_MACHINE is -2147483646). 0 names no root.
#pragma once
#include <cstdint>
#include <string>

using RegRoot = int32_t;
inline constexpr RegRoot RegHKeyClassesRoot = static_cast<RegRoot>(0x80000000u);
inline constexpr RegRoot RegHKeyCurrentUser = static_cast<RegRoot>(0x80000001u);
inline constexpr RegRoot RegHKeyLocalMachine = static_cast<RegRoot>(0x80000002u);
inline constexpr RegRoot RegHKeyUsers = static_cast<RegRoot>(0x80000003u);
inline constexpr RegRoot RegHKeyCurrentConfig = static_cast<RegRoot>(0x80000005u);

// The root's name as the registry editor shows it ("HKEY_LOCAL_MACHINE"), or its number.
inline std::string RegRootName(RegRoot root) {
    switch (root) {
    case RegHKeyClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case RegHKeyCurrentUser:
        return "HKEY_CURRENT_USER";
    case RegHKeyLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegHKeyUsers:
        return "HKEY_USERS";
    case RegHKeyCurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    default:
        return std::to_string(root);
    }
}
