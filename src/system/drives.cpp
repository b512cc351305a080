// Drive types and drive lists.
#include "system/drives.h"

#include <windows.h>

unsigned DriveType(const std::string& root) {
    return GetDriveTypeA(root.c_str());
}

int16_t ListDrivesOfType(unsigned kind, std::vector<std::string>& drives) {
    int16_t count = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        try {
            std::string root{letter, ':', '\\'};
            if (DriveType(root) != kind) continue;
            drives.push_back(root);
            ++count;
        } catch (...) {
        }
    }
    return count;
}
