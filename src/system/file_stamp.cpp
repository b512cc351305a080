#include "system/file_stamp.h"

#include <windows.h>

FileStamp SystemFileStamp(const std::string& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return stamp;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return stamp;
    ULARGE_INTEGER time;
    time.LowPart = data.ftLastWriteTime.dwLowDateTime;
    time.HighPart = data.ftLastWriteTime.dwHighDateTime;
    // File times count 100-ns steps from 1601; stamps count nanoseconds from 1970.
    constexpr int64_t From1601To1970 = 116444736000000000LL;
    stamp.exists = true;
    stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.timeNs = (static_cast<int64_t>(time.QuadPart) - From1601To1970) * 100;
    stamp.precise = true;
    return stamp;
}
