// The program's whole access to the registry, and the one place where it starts a
// program and waits for it. None of these procedures reports a failure: a key that
// cannot be written or deleted is simply skipped, and the callers rely on that.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// A registry root as the script and the program name it: the signed 32-bit handle value
// of a predefined key (HKEY_LOCAL_MACHINE is -2147483646). 0 names no root.
using RegRoot = int32_t;
inline constexpr RegRoot RegHKeyClassesRoot = static_cast<RegRoot>(0x80000000u);
inline constexpr RegRoot RegHKeyCurrentUser = static_cast<RegRoot>(0x80000001u);
inline constexpr RegRoot RegHKeyLocalMachine = static_cast<RegRoot>(0x80000002u);
inline constexpr RegRoot RegHKeyUsers = static_cast<RegRoot>(0x80000003u);
inline constexpr RegRoot RegHKeyCurrentConfig = static_cast<RegRoot>(0x80000005u);

// Creates the key (and any missing keys above it); an existing key is left unchanged.
void CreateRegKey(RegRoot root, std::string_view subKey);
// Writes a value under an existing key (never creates the key). Type 1 string, 4 number.
void SetRegValue(RegRoot root, std::string_view subKey, std::string_view valueName, std::string_view value,
                 int valueType);
// Deletes the key together with its subkeys, when it exists. Root 0 or an empty path: nothing.
void DeleteRegKey(RegRoot root, std::string_view subKey);
// A string value with leading and trailing blanks removed and cut at its first NUL
// (blanks before that NUL stay); the empty text when the key or value is missing.
std::string ReadRegString(RegRoot root, std::string_view subKey, std::string_view valueName);

// Runs a command line (its first word names the program) and returns only when that
// program has ended. Returns at once, silently, when it cannot be started.
void RunAndWait(const std::string& commandLine);
// Starts a command line in a normal window with the focus and does not wait for it.
// Returns false when the program could not be started.
bool StartProgram(const std::string& commandLine);
