#include "script/profile_files.h"

#include "script/profile_write.h"

namespace {

constexpr size_t MaxRememberedFiles = 16;
constexpr int64_t CoarseTimeWindowNs = 2'000'000'000;

std::string FileKey(std::string_view path) {
#ifdef _WIN32
    // Windows file names ignore letter case and take either slash.
    std::string key = FoldName(path);
    for (char& c : key)
        if (c == '/') c = '\\';
    return key;
#else
    return std::string(path);
#endif
}

} // namespace

ProfileFiles::ProfileFiles(FileStampFunction stamp) : stamp_(stamp ? stamp : PortableFileStamp) {}

void ProfileFiles::Forget(std::string_view path) {
    const std::string key = FileKey(path);
    StopAppending(key);
    files_.erase(key);
}

void ProfileFiles::ForgetAll() {
    appending_.reset();
    appendingKey_.clear();
    files_.clear();
}

void ProfileFiles::HoldForAppending(const std::string& path) {
    StopHolding();
    heldKey_ = FileKey(path);
}

void ProfileFiles::StopHolding() {
    StopAppending(heldKey_);
    heldKey_.clear();
}

void ProfileFiles::StopAppending(std::string_view key) {
    if (appending_ && appendingKey_ == key) {
        appending_.reset();
        appendingKey_.clear();
    }
}

// Appends through the file held open, opening it first when another file is held. Each
// append is handed to the system before the call returns: a program ended right after it
// leaves the bytes in the file.
// An append that cannot be written whole (a full disk) leaves the file as it was.
bool ProfileFiles::Append(const std::string& path, std::string_view bytes, uint64_t oldSize) {
    const std::string key = FileKey(path);
    if (!appending_ || appendingKey_ != key) {
        appending_.reset(OpenForAppending(path));
        appendingKey_ = appending_ ? key : std::string();
        if (!appending_) return false;
    }
    const bool ok = AppendToFile(appending_.get(), bytes, oldSize);
    // A file nobody holds is closed again at once: others may delete or replace it.
    if (!ok || key != heldKey_) StopAppending(key);
    return ok;
}

void ProfileFiles::Load(File& file, const std::string& path, const FileStamp& stamp) {
    file.stamp = stamp;
    file.verifiedAtNs = NowNs();
    // A missing or unreadable file reads as a file without keys.
    if (!stamp.exists || !ReadWholeFile(path, file.raw)) file.raw.clear();
    file.encoding = EncodingOf(file.raw);
    if (file.encoding == TextEncoding::Ansi) {
        // The text is the bytes: one copy is enough (an installed script of thousands of
        // records is kept whole).
        file.parsed.text = std::move(file.raw);
        file.raw = std::string();
    } else {
        file.parsed.text = DecodeText(file.raw);
    }
    file.parsed.ParseAll();
}

void ProfileFiles::ForgetLeastUsed() {
    if (files_.size() < MaxRememberedFiles) return;
    auto oldest = files_.begin();
    for (auto it = files_.begin(); it != files_.end(); ++it)
        if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    StopAppending(oldest->first);
    files_.erase(oldest);
}

// The parsed file at `path`, read again when it changed since it was last seen.
ProfileFiles::File& ProfileFiles::Current(const std::string& path) {
    const FileStamp stamp = stamp_(path);
    const std::string key = FileKey(path);
    auto it = files_.find(key);
    if (it == files_.end()) {
        ForgetLeastUsed();
        it = files_.emplace(key, File{}).first;
        Load(it->second, path, stamp);
    } else {
        File& file = it->second;
        if (!SameStamp(file.stamp, stamp)) {
            // Changed by someone else: a held file may no longer be the one at the path.
            StopAppending(key);
            Load(file, path, stamp);
        } else if (stamp.exists && !stamp.precise && file.verifiedAtNs - stamp.timeNs < CoarseTimeWindowNs) {
            // The time is only known to the second and the file was changed shortly
            // before it was last seen: a change in that same second with the same size
            // would not show in the stamp, so compare the contents.
            std::string now;
            const int64_t checkedAt = NowNs();
            if (ReadWholeFile(path, now) && now == file.Bytes())
                file.verifiedAtNs = checkedAt;
            else {
                StopAppending(key);
                Load(file, path, stamp);
            }
        }
    }
    it->second.lastUse = ++useCounter_;
    return it->second;
}

std::string ProfileFiles::Read(const std::string& path, std::string_view section, std::string_view key) {
    try {
        return Current(path).parsed.Read(section, key);
    } catch (...) {
        // Out of memory or the like: the key reads as absent.
        ForgetAll();
        return {};
    }
}

bool ProfileFiles::Write(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view value) {
    try {
        File& file = Current(path);
        ProfileEdit edit = PlanProfileWrite(file.parsed, section, key, value);
        if (edit.kind == ProfileEdit::Kind::None) return true;
        const bool utf16 = file.encoding == TextEncoding::Utf16LE || file.encoding == TextEncoding::Utf16BE;
        if (edit.kind == ProfileEdit::Kind::Append && utf16 && file.raw.size() % 2 != 0) {
            // Units appended after a stray last byte would be read out of step from there
            // on: such a file is written whole (without the byte, which no reading sees).
            edit.kind = ProfileEdit::Kind::Replace;
            edit.at = file.parsed.text.size();
        }
        if (edit.kind == ProfileEdit::Kind::Append) {
            // A new file gets the byte-order mark of its encoding (none for ANSI).
            const std::string bytes = EncodeText(file.encoding, edit.text, file.Bytes().empty());
            if (!Append(path, bytes, file.Bytes().size())) {
                Forget(path);
                return false;
            }
            const size_t oldSize = file.parsed.text.size();
            if (file.encoding != TextEncoding::Ansi) file.raw += bytes;
            file.parsed.text += edit.text;
            file.parsed.ParseFrom(oldSize);
        } else {
            StopAppending(FileKey(path));
            // The text is edited where it is held: a script of thousands of records is not
            // copied for a changed value. A failed write forgets the edited text.
            file.parsed.text.replace(edit.at, edit.length, edit.text);
            bool written;
            if (file.encoding == TextEncoding::Ansi) {
                written = WriteFileBytes(path, file.parsed.text, false);
            } else {
                std::string bytes = EncodeText(file.encoding, file.parsed.text, true);
                written = WriteFileBytes(path, bytes, false);
                file.raw = std::move(bytes);
            }
            if (!written) {
                Forget(path);
                return false;
            }
            file.parsed.ParseAll();
        }
        file.stamp = stamp_(path);
        file.verifiedAtNs = NowNs();
        return true;
    } catch (...) {
        ForgetAll();
        return false;
    }
}
