// Access to the setup script (an INI file). Every part of the program reads and writes
// the script only through ReadIni and WriteIni, over a ProfileFiles that keeps the files
// parsed between calls (the setup session owns the program's one).
#pragma once
#include <string>
#include <string_view>

#include "script/text.h"

class ProfileFiles;

// Reads one key of the script `fileName` in `folder` (the folder followed directly by the
// file name; callers pass the folder with its trailing backslash). An absent file, section
// or key and an empty value give the empty text; values are cut to their first 511
// characters. Sections and keys are matched without regard to letter case; surrounding
// blanks and one pair of enclosing quotation marks are removed, as the system's profile
// functions do.
std::string ReadIni(ProfileFiles& files, std::string_view key, std::string_view section,
                    std::string_view folder, std::string_view fileName = "setup.ini");

// How WriteIni lower-cases what it stores. The script layer runs on any system and knows
// only A-Z (LowerCase); the program passes the lower case of the system's code page.
using LowerCaseRule = std::string (*)(std::string_view text);

// Writes one key; section, key and value are stored in lower case. The file, the section
// and the key are created when missing; an existing key's value is replaced in place.
// The write reaches the disk before the call returns. False when it cannot be written
// (a full disk, a file held open by another program): the file then stays as it was, and
// the caller reports it.
bool WriteIni(ProfileFiles& files, std::string_view key, std::string_view value, std::string_view section,
              std::string_view folder, std::string_view fileName = "setup.ini",
              LowerCaseRule lower = LowerCase);
