// The reader and writer of profile (INI) files behind ReadIni and WriteIni. It answers
// exactly as the system's GetPrivateProfileStringA does with a 512-character buffer, and
// writes as WritePrivateProfileStringA does, but it keeps each file's parsed contents
// and appends new keys of the last section instead of rewriting the whole file.
// Portable: files are read and written with the C library only.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The value of `key` in `section` of the file at `path`; empty when the file, the section
// or the key is missing or the value is empty. Values are cut to 511 characters.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key);

// Sets `key` in `section` of the file at `path` to `value` (written as given: callers
// choose the letter case). Creates the file, the section and the key as needed and
// replaces an existing key's value in its own line; every other line stays as it was.
// The file is complete on disk when the call returns. False when it cannot be written.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

// Drops what is remembered of the file at `path` (or of every file); the next access
// reads the file again. Never needed for correctness, but cheap insurance when a file is
// about to be deleted or copied over.
void ForgetProfileFile(std::string_view path);
void ForgetAllProfileFiles();

// What tells a remembered file from a changed one: existence, size and modification
// time. `precise` says the time has sub-second resolution; a file whose time is only
// known to the second is compared by content while its time lies within the last two
// seconds before it was read.
struct FileStamp {
    bool exists = false;
    uint64_t size = 0;
    int64_t timeNs = 0; // modification time, nanoseconds since 1970
    bool precise = false;
};
using FileStampFunction = FileStamp (*)(const std::string& path);

// The C library's view of a file (to the second on Windows, to the nanosecond elsewhere).
FileStamp PortableFileStamp(const std::string& path);
// Installs a more precise stamp function (the Windows program installs one based on the
// system's file times); nullptr restores PortableFileStamp.
void SetFileStampFunction(FileStampFunction function);
