#include "wizard/seeker.h"

#include <algorithm>
#include <new>
#include <utility>

#include "script/text.h"

namespace {

// Raised when the found list cannot take another entry.
struct FoundListFull {};

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchFrom(const char* name, const char* pattern) {
    // Iterative wildcard match with one back-tracking point for the last star.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern && LowerAscii(*pattern) == LowerAscii(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

// One pattern of the search patterns.
bool MatchFilePattern(const std::string& name, const std::string& pattern) {
    if (pattern.empty() || name.empty()) return false;
    if (MatchFrom(name.c_str(), pattern.c_str())) return true;
    // "name.*" also stands for "name" without any extension.
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
        name.find('.') == std::string::npos)
        return MatchFrom(name.c_str(), pattern.substr(0, pattern.size() - 2).c_str());
    return false;
}

} // namespace

bool ListOrderLess(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(LowerAscii(a[i]));
        const unsigned char cb = static_cast<unsigned char>(LowerAscii(b[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

void SortListing(FolderListing& listing) {
    std::sort(listing.folders.begin(), listing.folders.end(), ListOrderLess);
    std::sort(listing.files.begin(), listing.files.end(), ListOrderLess);
}

bool MatchFileSpec(const std::string& name, const std::string& spec) {
    size_t start = 0;
    while (true) {
        const size_t end = spec.find(';', start);
        const std::string piece = TrimBlanks(std::string_view(spec).substr(start, end - start));
        if (MatchFilePattern(name, piece)) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

void FoundFiles::AddItem(const std::string& item) {
    if (List.size() >= Capacity) throw FoundListFull{};
    List.push_back(item);
}

Seeker::Seeker(SeekerPlatform platform, const std::string& spec)
    : platform_(std::move(platform)), spec_(spec) {
    try {
        std::vector<std::string> pieces;
        patterns_ = SplitText(pieces, spec_, ";");
    } catch (...) {
    }
}

bool Seeker::SearchFolder(const std::string& path) {
    searchRunning_ = true;
    try {
        FolderListing listing;
        const bool readable = platform_.ReadFolder(path, listing);
        // Once per folder: this is where the wizard's Cancel button and key x get through.
        if (platform_.DoEvents) platform_.DoEvents();
        // A folder that cannot be read ends its own level only: the level above goes on
        // with its next subfolder and still looks at its own files afterwards.
        if (!readable) return false;
        std::sort(listing.folders.begin(), listing.folders.end(), ListOrderLess);
        for (size_t i = listing.folders.size(); i > 0 && searchRunning_; --i) {
            const std::string& name = listing.folders[i - 1];
            const bool abandon =
                SearchFolder(!path.empty() && path.back() == '\\' ? path + name : path + "\\" + name);
            if (platform_.Cancelled && platform_.Cancelled()) return false;
            if (abandon) return true;
        }
        LookAtFiles(path, listing.files);
        return false;
    } catch (const FoundListFull&) {
    } catch (const std::bad_alloc&) {
    } catch (...) {
        return false;
    }
    // The found list is full: nothing more can be recorded, so the whole walk ends.
    try {
        if (platform_.ShowMessage) platform_.ShowMessage("Limit reached. Abandoning search...");
    } catch (...) {
    }
    return true;
}

// The folder's matching files in list order; the first of them is the entry of a hit.
void Seeker::LookAtFiles(const std::string& path, const std::vector<std::string>& files) {
    size_t matching = 0;
    const std::string* first = nullptr;
    for (const auto& name : files) {
        if (!MatchFileSpec(name, spec_)) continue;
        ++matching;
        if (!first || ListOrderLess(name, *first)) first = &name;
    }
    // The rule counts files, not patterns: two .dll files satisfy "*.exe;*.dll".
    if (matching == 0 || matching < static_cast<size_t>(std::max<int16_t>(patterns_, 0))) return;
    // A drive's root folder ends in a backslash already.
    const std::string base = path.size() > 3 ? path + "\\" : path;
    lstFoundFiles.AddItem(base + *first);
    searchRunning_ = false;
}
