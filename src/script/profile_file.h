// The byte-level access to profile files: whole reads, appends and replacements with the
// C library, and the stamps that tell a remembered file from a changed one.
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
