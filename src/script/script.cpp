#include "script/script.h"

#include "script/profile_files.h"
#include "script/text.h"

std::string ReadIni(ProfileFiles& files, std::string_view key, std::string_view section,
                    std::string_view folder, std::string_view fileName) {
    try {
        return files.Read(std::string(folder) + std::string(fileName), section, key);
    } catch (...) {
        return {}; // out of memory: the key reads as absent
    }
}

bool WriteIni(ProfileFiles& files, std::string_view key, std::string_view value, std::string_view section,
              std::string_view folder, std::string_view fileName, LowerCaseRule lower) {
    try {
        return files.Write(std::string(folder) + std::string(fileName), lower(section), lower(key),
                           lower(value));
    } catch (...) {
        return false; // out of memory: the write is lost, as any failed write is
    }
}
