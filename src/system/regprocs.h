// The program's whole access to the registry, and the one place where it starts a
// program and waits for it. None of these procedures stops on a failure: a key that
// cannot be written or deleted is simply skipped, and the callers rely on that. The
// writers return the system's status (0 = done) only so that the setup log can name what
// failed; no caller changes course on it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/computer.h" // RegRoot, RegStatus

// Creates the key (and any missing keys above it); an existing key is left unchanged.
RegStatus CreateRegKey(RegRoot root, std::string_view subKey);
// Writes a value under an existing key (never creates the key). Type 1 string, 4 number.
RegStatus SetRegValue(RegRoot root, std::string_view subKey, std::string_view valueName,
                      std::string_view value, int valueType);
// Deletes the key together with its subkeys, when it exists. Root 0 or an empty path:
// nothing (status 2, not found, like a key that does not exist).
RegStatus DeleteRegKey(RegRoot root, std::string_view subKey);
// Deletes one value of a key (the key's default value when valueName is empty).
RegStatus DeleteRegValue(RegRoot root, std::string_view subKey, std::string_view valueName);
// True when the key exists and holds neither values nor subkeys.
bool RegKeyIsEmpty(RegRoot root, std::string_view subKey);
// A string value with leading and trailing blanks removed and cut at its first NUL
// (blanks before that NUL stay); the empty text when the key or value is missing.
std::string ReadRegString(RegRoot root, std::string_view subKey, std::string_view valueName);

// Runs a command line (its first word names the program) and returns only when that
// program has ended. Returns at once, silently, when it cannot be started.
void RunAndWait(const std::string& commandLine);
// Starts a command line in a normal window with the focus and does not wait for it.
// Returns false when the program could not be started.
bool StartProgram(const std::string& commandLine);
