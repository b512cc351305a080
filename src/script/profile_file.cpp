#include "script/profile_file.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#ifndef _WIN32
#include <unistd.h>
#endif

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

// Writes a whole new file, flushed to the medium before it is closed: it is about to take
// the place of a file whose contents must not be lost to a power cut.
bool WriteNewFile(const std::string& path, std::string_view bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                         std::fflush(file) == 0 && FlushToMedium(file);
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    std::remove(path.c_str()); // made here: no part of it is left behind
    return false;
}

} // namespace

#ifndef _WIN32
// POSIX's rename replaces the target in one step.
bool PutFileInPlace(const std::string& fresh, const std::string& path) {
    return std::rename(fresh.c_str(), path.c_str()) == 0;
}

bool FlushToMedium(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

bool CutFileTo(std::FILE* file, uint64_t size) {
    return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
}
#endif

bool AppendToFile(std::FILE* file, std::string_view bytes, uint64_t oldSize) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0)
        return true;
    // A part of the bytes may have reached the file (a full disk takes what fits): the file
    // gets its old length back, so that no half line is left for a later reading.
    std::clearerr(file);
    CutFileTo(file, oldSize);
    return false;
}

std::FILE* OpenForAppending(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    // Unbuffered: each append goes to the system in one piece, and a failed one leaves
    // nothing in a buffer that closing the file would write after all.
    if (file) std::setvbuf(file, nullptr, _IONBF, 0);
    return file;
}

bool WriteFileBytes(const std::string& path, std::string_view bytes, bool append) {
    if (append) {
        const FileStamp before = PortableFileStamp(path);
        std::FILE* file = OpenForAppending(path);
        if (!file) return false;
        const bool written = AppendToFile(file, bytes, before.exists ? before.size : 0);
        return (std::fclose(file) == 0) && written;
    }
    // New contents are written beside the file, flushed to the medium and then put in its
    // place in one step, so that a program ended in the middle (an installation being
    // killed while it rewrites its script, a power cut) leaves the old file or the new one,
    // never an empty or half-written one. Where that cannot be done (a full disk, no right
    // to create the file beside it, a file held open by another program), the old file
    // stays as it was and nothing is left beside it: the caller learns of the failure.
    const std::string fresh = path + ".kvnew";
    if (!WriteNewFile(fresh, bytes)) return false;
    if (PutFileInPlace(fresh, path)) return true;
    std::remove(fresh.c_str());
    return false;
}
