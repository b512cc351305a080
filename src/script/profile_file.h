// The byte-level access to profile files: whole reads, appends and replacements with the
// C library, and the stamps that tell a remembered file from a changed one. The one step
// in which a rewritten file takes the place of the old one comes from the platform.
#pragma once
#include <cstdint>
#include <cstdio>
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
// it when missing. The bytes are handed to the system before the call returns. A file is
// never left partly written: a failed append gives the file its old length back, and new
// whole contents are written beside the file (its name with ".kvnew" appended), flushed
// to the medium and put in its place in one step. False when that cannot be done (a full
// disk, a file held open by another program): the file then stays as it was.
bool WriteFileBytes(const std::string& path, std::string_view bytes, bool append);

// The file at `path` opened for appending, unbuffered (each append reaches the system
// whole or not at all); null when it cannot be opened.
std::FILE* OpenForAppending(const std::string& path);
// Appends `bytes` to a file opened by OpenForAppending whose length is `oldSize`. When
// they cannot all be written, the file is cut back to `oldSize` and false is returned.
bool AppendToFile(std::FILE* file, std::string_view bytes, uint64_t oldSize);

// What the platform supplies: natively the C library (profile_file.cpp); in every Windows
// program, tests included, the system layer's ANSI functions (src/system/file_replace.cpp,
// linked into the script library), so that folder names in the user's code page (Cyrillic,
// Greek, ...) reach the system as they are.
//
// Puts the file at `fresh` in the place of the file at `path` in one step, replacing it: a
// program ended at any moment leaves the one or the other at `path`, never neither. False
// when the system refuses; `fresh` is then left where it is. (The C library cannot do this
// on Windows: its rename refuses an existing target.)
bool PutFileInPlace(const std::string& fresh, const std::string& path);
// Writes what the system holds of an open file to the medium (a power cut after it loses
// nothing of it).
bool FlushToMedium(std::FILE* file);
// Cuts an open file to `size` bytes.
bool CutFileTo(std::FILE* file, uint64_t size);
