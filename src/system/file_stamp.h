// The file times the script reader uses to see that a script changed on disk, from the
// system, to a tenth of a microsecond (the C library knows them only to the second).
#pragma once
#include <string>
#include "script/profile_file.h"

// Existence, size and last-write time of a file as the system reports them.
FileStamp SystemFileStamp(const std::string& path);
