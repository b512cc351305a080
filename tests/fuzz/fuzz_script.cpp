// Fuzz targets of the portable script layer, for libFuzzer. One program per target:
// build with -DKV_FUZZ_TARGET=FuzzProfile, FuzzValues or FuzzText (scripts/fuzz.sh does).
// Each target checks what must hold for any input, not only that nothing crashes.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "script/macros.h"
#include "script/profile_files.h"
#include "script/text.h"
#include "script/values.h"

namespace {

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

std::string_view FirstLine(std::string_view text) {
    return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

// A hostile script read, then written into as the installation writes into its copy: the
// key written reads back as a clean file would give it, every other key keeps its value,
// and the remembered file answers as a fresh reading of the file does.
void FuzzProfile(std::string_view script) {
    static const std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                                    "/kvfuzz-" + std::to_string(getpid()) + ".ini";
    FILE* file = std::fopen(path.c_str(), "wb");
    Check(file && std::fwrite(script.data(), 1, script.size(), file) == script.size(), "scratch file");
    std::fclose(file);

    ProfileFiles files;
    ParsedProfile before;
    before.text = DecodeText(script);
    before.ParseAll();
    const char* sections[] = {"uninstall", "install", ""};
    const std::string section = sections[script.size() % 3];
    const std::string key = script.size() % 2 ? "file1" : "destpath";
    const std::string value(FirstLine(script));
    files.Read(path, section, key);
    Check(files.Write(path, section, key, value), "write");

    ParsedProfile clean;
    clean.text = (section.empty() ? "" : "[" + section + "]\r\n") + key + "=" + value + "\r\n";
    clean.ParseAll();
    ProfileFiles fresh;
    Check(fresh.Read(path, section, key) == clean.Read(section, key), "the written key reads back");
    Check(files.Read(path, section, key) == clean.Read(section, key), "the remembered key reads back");
    int checked = 0;
    for (const ProfileKey& entry : before.keys) {
        const std::string& name = before.sections[entry.section].name;
        if (before.firstSection.at(name) != entry.section) continue; // a later section of that name
        if (++checked > 64) return;
        const std::string keyName = FoldName(before.NameOf(entry));
        if (name == section && keyName == key) continue;
        // A name stored with blanks before a NUL ("[ Install \0...]") is found by no query: a
        // query is cut at its NUL before it is trimmed, so asking for it asks for another name.
        const auto reachable = [](const std::string& stored) {
            return FoldName(TrimProfileSpaces(CutAtNull(stored))) == stored;
        };
        if (!reachable(name) || !reachable(keyName)) continue;
        const std::string was = before.Read(name, keyName);
        Check(fresh.Read(path, name, keyName) == was, "other keys keep their values");
        Check(files.Read(path, name, keyName) == was, "the remembered file answers alike");
    }
}

// The readings of a value: every number is finite, a flag is a number other than 0, a
// count is its rounded number, and a number shown to the user reads back as itself.
void FuzzValues(std::string_view text) {
    const double number = ReadNumber(text);
    Check(std::isfinite(number), "numbers are finite");
    Check(ReadFlag(text) == (number != 0), "flag");
    if (const auto count = RoundToInt16(number)) Check(ReadCount(text) == *count, "count");
    ReadRegRoot(text);
    const double back = ReadNumber(LeadingBlankNumber(number));
    Check(std::fabs(back - number) <= 1e-14 * std::fabs(number) + 1e-300, "shown number reads back");
}

// A separator whose beginning is also its end can overlap the text's edges.
bool HasBorder(std::string_view separator) {
    for (size_t k = 1; k < separator.size(); ++k)
        if (separator.substr(0, k) == separator.substr(separator.size() - k)) return true;
    return false;
}

struct FakeFolders : FolderSource {
    std::string WindowsFolder() const override { return "C:\\Windows"; }
    std::string SystemFolder() const override { return "C:\\Windows\\System32"; }
    std::string CurrentVersionValue(std::string_view name) const override {
        return name == "programfilesdir" ? " D:\\Programs " : "";
    }
    std::string ShellFolder(std::string_view name) const override {
        return name.size() < 12 ? "C:\\Users\\Kim\\" + std::string(name) : "";
    }
};

// Texts and paths taken apart: the pieces give back the text, a path's folder and file
// name give back the path, and a path without a macro is put behind the destination.
void FuzzText(std::string_view input) {
    const size_t cut = input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 4;
    const std::string_view separator = input.substr(std::min<size_t>(1, input.size())).substr(0, cut);
    const std::string_view text = input.substr(std::min(input.size(), 1 + cut));
    std::vector<std::string> pieces;
    const int16_t count = SplitText(pieces, text, separator);
    Check(count >= 1 && pieces.size() == static_cast<size_t>(count) + 1 && pieces[0].empty(), "piece slots");
    if (!HasBorder(separator)) {
        std::string joined = pieces[1];
        for (int16_t i = 2; i <= count; ++i) joined.append(separator).append(pieces[i]);
        Check(joined == text, "pieces joined give the text");
    }

    const std::string folder = GetPathPart(text, 0), name = GetPathPart(text, 1);
    if (!text.empty() && text.back() == '\\') {
        Check(folder == text && name == text && GetPathPart(text, 3) == text, "folder paths stay whole");
    } else {
        Check(folder + name == text, "folder and file name give the path");
        Check(GetPathPart(text, 0, false) == folder.substr(0, folder.empty() ? 0 : folder.size() - 1),
              "folder");
        std::string undotted = name;
        std::erase(undotted, '.');
        Check(GetPathPart(text, 3) + GetPathPart(text, 2) == undotted, "name and extension");
    }

    const FakeFolders folders;
    const std::string dest(FirstLine(text)); // the destination's line, then the path
    const std::string path(text.substr(std::min(text.size(), dest.size() + 1)));
    std::string expanded = path;
    ExpandPathMacro(expanded, dest, folders);
    if (path.find('%') == std::string::npos) {
        Check(expanded == path, "a path without a macro stays as it is");
        Check(ResolveScriptPath(path, dest, folders) == AddTrailingBackslash(dest) + path, "relative path");
    } else {
        Check(ResolveScriptPath(path, dest, folders) == expanded, "a path with a macro is expanded");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KV_FUZZ_TARGET(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
