#include "script/profile.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Reading rules (the same as the system's profile functions):
// - Lines end at any run of CR and LF characters; each line is trimmed of blanks, tabs,
//   CR, LF, VT, FF and Ctrl-Z at both ends; empty lines are skipped.
// - A line starting with '[' that contains a ']' starts a section named by the text
//   between the '[' and the LAST ']', trimmed; text after that ']' is ignored. A '[' line
//   without ']' is an ordinary line.
// - Any other line is a key: the name is the text before the first '=', trimmed; the
//   value the text after it, trimmed. A line without '=' is a key without a value
//   (reads as empty). Comment lines (';') are nothing special: they are keys that no
//   sensible query names.
// - Lines before the first section line belong to a section with the empty name.
// - Names and values end at a NUL character.
// - Section and key names are compared with the letter case of A-Z ignored.
// - With duplicate sections only the FIRST one is searched (keys in a later section of
//   the same name are never found); with duplicate keys the first one wins.
// - A value enclosed in matching single or double quotes loses them, as a 512-character
//   buffer shows it: the result is at most 511 characters; an opening quote is dropped
//   whenever a matching closing quote ends the value, but the closing quote only goes
//   when the value after the opening quote is at most 512 characters long. So a quoted
//   text of exactly 512 characters after its opening quote reads as its first 510 ones.
// ---------------------------------------------------------------------------

constexpr size_t ValueLimit = 511;

bool IsProfileSpace(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0x09 && u <= 0x0d) || u == 0x1a || u == 0x20;
}

std::string_view TrimProfileSpaces(std::string_view text) {
    size_t s = 0, e = text.size();
    while (s < e && IsProfileSpace(text[s])) ++s;
    while (e > s && IsProfileSpace(text[e - 1])) --e;
    return text.substr(s, e - s);
}

std::string_view CutAtNull(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

// A query name as the profile functions take it: up to a NUL, trimmed, case folded.
std::string QueryName(std::string_view name) {
    return FoldName(TrimProfileSpaces(CutAtNull(name)));
}
// A name as the file holds it: trimmed first, then ended at a NUL.
std::string StoredName(std::string_view name) {
    return FoldName(CutAtNull(TrimProfileSpaces(name)));
}

std::string ValueAsRead(std::string_view value) {
    if (value.size() >= 2 && (value[0] == '\'' || value[0] == '"') && value.back() == value[0]) {
        const std::string_view inner = value.substr(1); // still ends in the closing quote
        std::string result(inner.substr(0, ValueLimit));
        if (inner.size() <= ValueLimit + 1) result.pop_back();
        return result;
    }
    return std::string(value.substr(0, ValueLimit));
}

struct KeyEntry {
    bool hasValue = false;
    std::string value;     // trimmed, cut at NUL
    size_t lineStart = 0;  // first character of the trimmed line
    size_t valueStart = 0; // where the value starts (or the trimmed line ends, without '=')
    size_t lineEnd = 0;    // end of the trimmed line
};

struct Section {
    std::unordered_map<std::string, KeyEntry> keys; // folded name -> first key of that name
    size_t insertAt = 0; // just after the line break that ends the section's last line
};

enum class Encoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct Profile {
    FileStamp stamp;
    int64_t verifiedAtNs = 0;
    std::string raw;  // the file's bytes as last read or written
    std::string text; // its text (the raw bytes, after a byte-order mark)
    Encoding encoding = Encoding::Ansi;
    std::vector<Section> sections; // [0]: the lines before the first section line
    std::unordered_map<std::string, size_t> firstSection;
    uint64_t lastUse = 0;
};

size_t AfterFirstLineBreak(const std::string& text, size_t contentEnd, size_t nextLine) {
    if (nextLine == contentEnd) return contentEnd;
    if (text[contentEnd] == '\r' && contentEnd + 1 < nextLine && text[contentEnd + 1] == '\n')
        return contentEnd + 2;
    return contentEnd + 1;
}

// Parses profile.text from `from` on, continuing the last section.
void ParseFrom(Profile& profile, size_t from) {
    const std::string& text = profile.text;
    const size_t end = text.size();
    size_t pos = from;
    while (pos < end) {
        const size_t lineStart = pos;
        while (pos < end && text[pos] != '\n' && text[pos] != '\r') ++pos;
        const size_t contentEnd = pos;
        while (pos < end && (text[pos] == '\n' || text[pos] == '\r')) ++pos;
        size_t s = lineStart, e = contentEnd;
        while (s < e && IsProfileSpace(text[s])) ++s;
        while (e > s && IsProfileSpace(text[e - 1])) --e;
        if (s >= e) continue;
        const std::string_view line(text.data() + s, e - s);
        if (line[0] == '[') {
            const size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                const std::string name = StoredName(line.substr(1, close - 1));
                profile.sections.emplace_back();
                profile.sections.back().insertAt = AfterFirstLineBreak(text, contentEnd, pos);
                profile.firstSection.try_emplace(name, profile.sections.size() - 1);
                continue;
            }
        }
        KeyEntry entry;
        entry.lineStart = s;
        entry.lineEnd = e;
        std::string_view name = line;
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            name = line.substr(0, equals);
            size_t v = equals + 1;
            while (v < line.size() && IsProfileSpace(line[v])) ++v;
            entry.hasValue = true;
            entry.valueStart = s + v;
            entry.value = std::string(CutAtNull(line.substr(v)));
        } else {
            entry.valueStart = e;
        }
        Section& section = profile.sections.back();
        section.keys.try_emplace(StoredName(name), std::move(entry));
        section.insertAt = AfterFirstLineBreak(text, contentEnd, pos);
    }
}

void ParseAll(Profile& profile) {
    profile.sections.clear();
    profile.firstSection.clear();
    profile.sections.emplace_back();
    profile.firstSection.emplace("", 0);
    ParseFrom(profile, 0);
}

// Scripts are ANSI text (Windows-1252). Files with a byte-order mark are read as the
// system reads them: UTF-8 and UTF-16 text is brought into the ANSI code page, and a
// character that has no place there (or a byte that is not valid UTF-8) reads as '?'.
constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t AnsiToUnicode(unsigned char c) {
    return (c >= 0x80 && c < 0xA0) ? Cp1252High[c - 0x80] : c;
}

char UnicodeToAnsi(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return static_cast<char>(u);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == u) return static_cast<char>(0x80 + i);
    return '?';
}

std::string Utf8ToAnsi(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80             ? 0
                          : (lead & 0xE0) == 0xC0 ? 1
                          : (lead & 0xF0) == 0xE0 ? 2
                          : (lead & 0xF8) == 0xF0 ? 3
                                                  : -1;
        char32_t code = extra == 0   ? lead
                        : extra == 1 ? (lead & 0x1F)
                        : extra == 2 ? (lead & 0x0F)
                                     : (lead & 0x07);
        bool valid = extra >= 0 && i + extra < bytes.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            else
                code = code << 6 | (next & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        // A character beyond the 16-bit range is two UTF-16 units, each unknown here.
        if (code > 0xFFFF)
            out += "??";
        else
            out += UnicodeToAnsi(code);
        i += extra + 1;
    }
    return out;
}

std::string AnsiToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const char32_t u = AnsiToUnicode(static_cast<unsigned char>(c));
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

void DecodeRaw(Profile& profile) {
    const std::string& raw = profile.raw;
    auto startsWith = [&](std::string_view mark) { return raw.compare(0, mark.size(), mark) == 0; };
    if (startsWith("\xEF\xBB\xBF")) {
        profile.encoding = Encoding::Utf8;
        profile.text = Utf8ToAnsi(std::string_view(raw).substr(3));
    } else if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        profile.encoding = startsWith("\xFF\xFE") ? Encoding::Utf16LE : Encoding::Utf16BE;
        const bool little = profile.encoding == Encoding::Utf16LE;
        profile.text.clear();
        for (size_t i = 2; i + 1 < raw.size(); i += 2) {
            const unsigned lo = static_cast<unsigned char>(raw[i + (little ? 0 : 1)]);
            const unsigned hi = static_cast<unsigned char>(raw[i + (little ? 1 : 0)]);
            profile.text += UnicodeToAnsi(hi << 8 | lo);
        }
    } else {
        profile.encoding = Encoding::Ansi;
        profile.text = raw;
    }
}

// Text in the file's own encoding; `withMark` puts the byte-order mark in front.
std::string EncodeText(Encoding encoding, std::string_view text, bool withMark) {
    switch (encoding) {
    case Encoding::Utf8:
        return (withMark ? "\xEF\xBB\xBF" : "") + AnsiToUtf8(text);
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        const bool little = encoding == Encoding::Utf16LE;
        std::string out = withMark ? (little ? "\xFF\xFE" : "\xFE\xFF") : "";
        for (char c : text) {
            const char32_t u = AnsiToUnicode(static_cast<unsigned char>(c));
            const char units[2] = {static_cast<char>(little ? u & 0xFF : u >> 8),
                                   static_cast<char>(little ? u >> 8 : u & 0xFF)};
            out.append(units, 2);
        }
        return out;
    }
    default:
        return std::string(text);
    }
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

bool WriteBytes(const std::string& path, const char* mode, std::string_view bytes) {
    FILE* file = std::fopen(path.c_str(), mode);
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // Closing hands the bytes to the system, so that they survive an end of the program
    // at any later point (no flush to the medium: the system does that in its own time).
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    if (a.exists != b.exists) return false;
    return !a.exists || (a.size == b.size && a.timeNs == b.timeNs);
}

FileStampFunction stampFunction = PortableFileStamp;

// ---------------------------------------------------------------------------
// The remembered files. The program reads the script at every point of use, so each
// read checks the file's stamp (one stat call) instead of parsing it again.
// ---------------------------------------------------------------------------
constexpr size_t MaxRememberedFiles = 16;
constexpr int64_t CoarseTimeWindowNs = 2'000'000'000;

std::unordered_map<std::string, Profile> remembered;
uint64_t useCounter = 0;

std::string CacheKey(std::string_view path) {
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

void LoadFromDisk(Profile& profile, const std::string& path, const FileStamp& stamp) {
    profile.stamp = stamp;
    profile.verifiedAtNs = NowNs();
    if (!stamp.exists || !ReadWholeFile(path, profile.raw)) {
        // A missing or unreadable file reads as a file without keys.
        profile.raw.clear();
        profile.stamp.exists = stamp.exists;
    }
    DecodeRaw(profile);
    ParseAll(profile);
}

void ForgetLeastUsed() {
    if (remembered.size() < MaxRememberedFiles) return;
    auto oldest = remembered.begin();
    for (auto it = remembered.begin(); it != remembered.end(); ++it)
        if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    remembered.erase(oldest);
}

// The parsed file at `path`, read again when it changed since it was last seen.
Profile& CurrentProfile(const std::string& path) {
    const FileStamp stamp = stampFunction(path);
    const std::string key = CacheKey(path);
    auto it = remembered.find(key);
    if (it == remembered.end()) {
        ForgetLeastUsed();
        it = remembered.emplace(key, Profile{}).first;
        LoadFromDisk(it->second, path, stamp);
    } else {
        Profile& profile = it->second;
        if (!SameStamp(profile.stamp, stamp)) {
            LoadFromDisk(profile, path, stamp);
        } else if (stamp.exists && !stamp.precise &&
                   profile.verifiedAtNs - stamp.timeNs < CoarseTimeWindowNs) {
            // The time is only known to the second and the file was changed shortly
            // before it was last seen: a change in that same second with the same size
            // would not show in the stamp, so compare the contents.
            std::string now;
            const int64_t checkedAt = NowNs();
            if (ReadWholeFile(path, now) && now == profile.raw)
                profile.verifiedAtNs = checkedAt;
            else
                LoadFromDisk(profile, path, stamp);
        }
    }
    it->second.lastUse = ++useCounter;
    return it->second;
}

std::string LineBreakOf(const std::string& text) {
    const size_t lf = text.find('\n');
    if (lf == std::string::npos) return text.find('\r') != std::string::npos ? "\r" : "\r\n";
    return (lf > 0 && text[lf - 1] == '\r') ? "\r\n" : "\n";
}

} // namespace

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

void SetFileStampFunction(FileStampFunction function) {
    stampFunction = function ? function : PortableFileStamp;
    remembered.clear();
}

void ForgetProfileFile(std::string_view path) {
    remembered.erase(CacheKey(path));
}
void ForgetAllProfileFiles() {
    remembered.clear();
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key) {
    try {
        const Profile& profile = CurrentProfile(path);
        const auto sectionAt = profile.firstSection.find(QueryName(section));
        if (sectionAt == profile.firstSection.end()) return {};
        const Section& found = profile.sections[sectionAt->second];
        const auto keyAt = found.keys.find(QueryName(key));
        if (keyAt == found.keys.end() || !keyAt->second.hasValue) return {};
        return ValueAsRead(keyAt->second.value);
    } catch (...) {
        // Out of memory or the like: the key reads as absent.
        remembered.clear();
        return {};
    }
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    try {
        Profile& profile = CurrentProfile(path);
        // Names are stored trimmed; the value without leading blanks, as the system does.
        const std::string sectionName(TrimProfileSpaces(CutAtNull(section)));
        const std::string keyName(TrimProfileSpaces(CutAtNull(key)));
        std::string_view newValue = CutAtNull(value);
        while (!newValue.empty() && IsProfileSpace(newValue.front())) newValue.remove_prefix(1);

        const std::string lineBreak = LineBreakOf(profile.text);
        std::string newText;
        bool append = false;
        std::string added; // the text appended to the end of the file
        const auto sectionAt = profile.firstSection.find(FoldName(sectionName));
        if (sectionAt != profile.firstSection.end()) {
            Section& found = profile.sections[sectionAt->second];
            const auto keyAt = found.keys.find(FoldName(keyName));
            if (keyAt != found.keys.end()) {
                const KeyEntry& entry = keyAt->second;
                if (entry.hasValue && entry.value == newValue) return true; // nothing changes
                // The value is replaced within its own line; the name keeps its spelling.
                const std::string_view text = profile.text;
                newText.reserve(text.size() + newValue.size() + 1);
                newText.append(text.substr(0, entry.valueStart));
                if (!entry.hasValue) newText += '=';
                newText.append(newValue);
                newText.append(text.substr(entry.lineEnd));
            } else if (sectionAt->second + 1 == profile.sections.size()) {
                // A new key of the file's last section: appended, the file is not rewritten.
                append = true;
                added = keyName + "=" + std::string(newValue) + lineBreak;
            } else {
                const size_t at = found.insertAt;
                const std::string_view text = profile.text;
                newText.reserve(text.size() + keyName.size() + newValue.size() + 4);
                newText.append(text.substr(0, at));
                if (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r') newText += lineBreak;
                newText.append(keyName).append("=").append(newValue).append(lineBreak);
                newText.append(text.substr(at));
            }
        } else {
            append = true;
            added = "[" + sectionName + "]" + lineBreak + keyName + "=" + std::string(newValue) + lineBreak;
        }

        if (append) {
            const std::string& text = profile.text;
            if (!text.empty() && text.back() != '\n' && text.back() != '\r') added = lineBreak + added;
            const std::string bytes = EncodeText(profile.encoding, added, profile.raw.empty());
            const bool ok = WriteBytes(path, "ab", bytes);
            if (!ok) {
                ForgetProfileFile(path);
                return false;
            }
            const size_t oldSize = profile.text.size();
            profile.text += added;
            profile.raw += bytes;
            ParseFrom(profile, oldSize);
            profile.stamp = stampFunction(path);
            profile.verifiedAtNs = NowNs();
            return true;
        }

        const std::string bytes = EncodeText(profile.encoding, newText, true);
        if (!WriteBytes(path, "wb", bytes)) {
            ForgetProfileFile(path);
            return false;
        }
        profile.raw = bytes;
        profile.text = std::move(newText);
        ParseAll(profile);
        profile.stamp = stampFunction(path);
        profile.verifiedAtNs = NowNs();
        return true;
    } catch (...) {
        remembered.clear();
        return false;
    }
}
