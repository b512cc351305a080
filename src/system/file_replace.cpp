// The script layer's one step in which a rewritten file takes the place of the old one,
// for every Windows program and test: CMakeLists.txt links it into the script library
// itself, as the script tests link nothing else.
#include <windows.h>

#include "script/profile_file.h"

// ANSI names, as every other file access of the program takes them, so that folder names
// in the user's code page (Cyrillic, Greek, ...) reach the system as they are.
bool PutFileInPlace(const std::string& fresh, const std::string& path) {
    return MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
