// What the script layer gets from the system: the one step in which a rewritten file takes
// the place of the old one, the flush to the medium before it, and the cut of a failed
// append, for every Windows program and test: CMakeLists.txt links it into the script
// library itself, as the script tests link nothing else.
#include <windows.h>
#include <io.h>

#include "script/profile_file.h"

// ANSI names, as every other file access of the program takes them, so that folder names
// in the user's code page (Cyrillic, Greek, ...) reach the system as they are.
bool PutFileInPlace(const std::string& fresh, const std::string& path) {
    return MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {

HANDLE SystemHandleOf(std::FILE* file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

} // namespace

bool FlushToMedium(std::FILE* file) {
    return FlushFileBuffers(SystemHandleOf(file)) != 0;
}

bool CutFileTo(std::FILE* file, uint64_t size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    const HANDLE handle = SystemHandleOf(file);
    return SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
}
