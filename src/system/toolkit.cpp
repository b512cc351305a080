// The toolkit library STKIT432.DLL, loaded from the program's own folder on first use.
#include "system/toolkit.h"

#include <windows.h>

namespace {

using DiskSpaceFreeFn = int32_t(WINAPI*)();
using CreateShellFolderFn = int32_t(WINAPI*)(const char*);
using CreateShellLinkFn = int32_t(WINAPI*)(const char*, const char*, const char*, const char*);
using RemoveShellLinkFn = int32_t(WINAPI*)(const char*, const char*);

// The library beside the running program, by its full path: never one that the
// system's search path would find elsewhere. Once loaded it stays loaded for the rest
// of the run; a failed load is tried again at the next call (the file may be copied in
// by then).
HMODULE Toolkit() {
    static HMODULE library = nullptr;
    if (library) return library;
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::string folder(path, length);
    size_t slash = folder.find_last_of('\\');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    library = LoadLibraryExA((folder + "STKIT432.DLL").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return library;
}

template <typename Fn> Fn ToolkitFunction(const char* name) {
    HMODULE library = Toolkit();
    if (!library) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

bool ToolkitDiskSpaceFree(int32_t& freeBytes) {
    try {
        auto fn = ToolkitFunction<DiskSpaceFreeFn>("DISKSPACEFREE");
        if (!fn) return false;
        freeBytes = fn();
        return true;
    } catch (...) {
        return false;
    }
}

bool ToolkitCreateShellFolder(const std::string& folder) {
    try {
        auto fn = ToolkitFunction<CreateShellFolderFn>("fCreateShellFolder");
        if (!fn) return false;
        return fn(folder.c_str()) != 0;
    } catch (...) {
        return false;
    }
}

bool ToolkitCreateShellLink(const std::string& folder, const std::string& name, const std::string& target,
                            const std::string& arguments) {
    try {
        auto fn = ToolkitFunction<CreateShellLinkFn>("fCreateShellLink");
        if (!fn) return false;
        return fn(folder.c_str(), name.c_str(), target.c_str(), arguments.c_str()) != 0;
    } catch (...) {
        return false;
    }
}

bool ToolkitRemoveShellLink(const std::string& folder, const std::string& name) {
    try {
        auto fn = ToolkitFunction<RemoveShellLinkFn>("fRemoveShellLink");
        if (!fn) return false;
        return fn(folder.c_str(), name.c_str()) != 0;
    } catch (...) {
        return false;
    }
}
