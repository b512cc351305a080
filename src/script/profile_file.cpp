#include "script/profile_file.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>

FileStamp PortableFileStamp(const std::string& path) {
    FileStamp stamp;
#ifdef _WIN32
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0 || !(info.st_mode & _S_IFREG)) return stamp;
    stamp.timeNs = static_cast<int64_t>(info.st_mtime) * 1'000'000'000;
    stamp.precise = false;
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return stamp;
    stamp.timeNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    stamp.precise = true;
#endif
    stamp.exists = true;
    stamp.size = static_cast<uint64_t>(info.st_size);
    return stamp;
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    if (a.exists != b.exists) return false;
    return !a.exists || (a.size == b.size && a.timeNs == b.timeNs);
}

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char buffer[65536];
    size_t got;
    bool ok = true;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
    if (std::ferror(file)) ok = false;
    std::fclose(file);
    return ok;
}

namespace {

bool WriteThrough(const std::string& path, std::string_view bytes, const char* mode) {
    FILE* file = std::fopen(path.c_str(), mode);
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // Closing hands the bytes to the system, so that they survive an end of the program
    // at any later point (no flush to the medium: the system does that in its own time).
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

} // namespace

#ifndef _WIN32
// POSIX's rename replaces the target in one step.
bool PutFileInPlace(const std::string& fresh, const std::string& path) {
    return std::rename(fresh.c_str(), path.c_str()) == 0;
}
#endif

bool WriteFileBytes(const std::string& path, std::string_view bytes, bool append) {
    if (append) return WriteThrough(path, bytes, "ab");
    // New contents are written beside the file and then put in its place in one step, so
    // that a program ended in the middle (an installation being killed while it rewrites its
    // script) leaves the old file or the new one, never an empty or half-written one. Where
    // that cannot be done (no right to create the file beside it, a file held open by
    // another program), the file is rewritten in place as before.
    const std::string fresh = path + ".kvnew";
    if (WriteThrough(fresh, bytes, "wb")) {
        if (PutFileInPlace(fresh, path)) return true;
        std::remove(fresh.c_str());
    }
    return WriteThrough(path, bytes, "wb");
}
