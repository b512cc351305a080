// Access to the setup script (an INI file). Every part of the program reads and writes
// the script only through ReadIni and WriteIni.
#pragma once
#include <string>
#include <string_view>

class ProfileFiles;

// Reads one key. Section defaults to "install", folder to SourceDir, file to "setup.ini";
// the file read is folder followed directly by file name. An absent file, section or key
// and an empty value give the empty text; values are cut to their first 511 characters.
// Sections and keys are matched without regard to letter case; surrounding blanks and one
// pair of enclosing quotation marks are removed, as the system's profile functions do.
std::string ReadIni(std::string_view key, std::string_view section = "install", std::string_view folder = {},
                    std::string_view fileName = "setup.ini");

// Writes one key; section, key and value are stored in lower case. The file, the section
// and the key are created when missing; an existing key's value is replaced in place.
// The write reaches the disk before the call returns. Failures are silent.
void WriteIni(std::string_view key, std::string_view value, std::string_view section = "install",
              std::string_view folder = {}, std::string_view fileName = "setup.ini");

// Empty folder argument means SourceDir (callers pass it explicitly when they mean another folder).

// The script files are kept parsed between calls and read again when they change on disk.
// Dropping a file (its full path, folder followed by file name) is cheap insurance before
// it is deleted or copied over.
void ForgetIniFile(std::string_view path);

// The script files ReadIni and WriteIni go through (kept parsed between calls). The
// program assigns one with its precise stamp function at start-up.
ProfileFiles& ScriptFiles();
