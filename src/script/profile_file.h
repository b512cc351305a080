// The byte-level access to profile files: whole reads, appends and replacements with the
// C library, and the stamps that tell a remembered file from a changed one. The one step
// in which a rewritten file takes the place of the old one comes from the platform.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

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

// Same existence and, for an existing file, same size and time.
bool SameStamp(const FileStamp& a, const FileStamp& b);

// The wall clock, in the stamps' unit.
int64_t NowNs();

// The whole file into `contents`; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Writes `bytes` at the end of the file (`append`) or as its whole new contents, creating
// it when missing. The bytes are handed to the system before the call returns.
bool WriteFileBytes(const std::string& path, std::string_view bytes, bool append);

// Puts the file at `fresh` in the place of the file at `path` in one step, replacing it: a
// program ended at any moment leaves the one or the other at `path`, never neither. False
// when the system refuses; `fresh` is then left where it is. The platform supplies it, as
// the C library cannot on Windows (its rename refuses an existing target): natively the C
// library's rename (profile_file.cpp); in every Windows program, tests included, the
// system layer's MoveFileExA with the ANSI names (src/system/file_replace.cpp, linked into
// the script library).
bool PutFileInPlace(const std::string& fresh, const std::string& path);
