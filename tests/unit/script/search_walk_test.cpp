// The component search's walk over an in-memory folder tree: order of the walk, the
// file-count rule, the first hit, unreadable folders, cancelling and the found list's limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "wizard/seeker.h"

namespace {

// A folder path in lower case with a trailing backslash.
std::string Key(std::string path) {
    for (auto& c : path)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return path.back() == '\\' ? path : path + "\\";
}

class SearchWalk : public ::testing::Test {
  protected:
    // The tree is the list of the file paths and folder paths (ending in "\") below C:\ added.
    void Add(const std::string& path) { paths_.push_back(path); }

    // Walks from C:\ as FindComponents does for one drive; returns the found list.
    std::vector<std::string> Search(const std::string& spec, size_t capacity = 32767) {
        reads.clear(), entered.clear(), messages.clear();
        SeekerPlatform platform;
        platform.ReadFolder = [this](const std::string& path, FolderListing& listing) {
            reads.push_back(path);
            const std::string folder = Key(path);
            bool there = false;
            for (const std::string& entry : paths_) {
                if (Key(entry).rfind(folder, 0) != 0) continue;
                there = true;
                if (entry.size() == folder.size()) continue;
                const size_t end = entry.find('\\', folder.size());
                auto& list = end == std::string::npos ? listing.files : listing.folders;
                const std::string name = entry.substr(folder.size(), end - folder.size());
                if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
            }
            return there && !unreadable.count(folder);
        };
        platform.DoEvents = [this] {
            entered.push_back(reads.back());
            if (onEnter) onEnter();
        };
        platform.ShowMessage = [this](const std::string& text) { messages.push_back(text); };
        platform.Cancelled = [this] { return cancelled; };
        Seeker seeker(platform, spec);
        seeker.lstFoundFiles.Capacity = capacity;
        abandoned = seeker.SearchFolder("C:\\");
        return seeker.lstFoundFiles.List;
    }

    std::set<std::string> unreadable;
    std::vector<std::string> reads, entered, messages;
    std::function<void()> onEnter;
    bool cancelled = false, abandoned = false;

  private:
    std::vector<std::string> paths_;
};

TEST_F(SearchWalk, TakesSubfoldersLastToFirstInListOrderDeepestFirst) {
    for (const char* p : {"C:\\Cee\\", "C:\\apps\\", "C:\\Beta\\b1\\n.txt", "C:\\Beta\\B2\\x\\"}) Add(p);
    EXPECT_TRUE(Search("*.none").empty());
    const std::vector<std::string> expected = {
        "C:\\", "C:\\Cee", "C:\\Beta", "C:\\Beta\\B2", "C:\\Beta\\B2\\x", "C:\\Beta\\b1", "C:\\apps"};
    // Messages are processed once per folder entered, and each folder is read once.
    EXPECT_EQ(entered, expected);
    EXPECT_EQ(reads, expected);
    EXPECT_FALSE(abandoned);
}

TEST_F(SearchWalk, FirstHitEndsTheWalkButLevelsAboveStillLookAtTheirOwnFiles) {
    Add("C:\\a\\app.dll");       // would be a hit, but is never reached
    Add("C:\\m\\deep\\app.dll"); // first hit: m is the last subfolder, deep below it
    Add("C:\\m\\app.dll");       // m's own files are looked at on the way out
    Add("C:\\m\\other.txt");
    Add("C:\\app.dll"); // and so are the root's
    const std::vector<std::string> expected = {"C:\\m\\deep\\app.dll", "C:\\m\\app.dll", "C:\\app.dll"};
    EXPECT_EQ(Search("app.dll"), expected);
    EXPECT_EQ(std::count(entered.begin(), entered.end(), "C:\\a"), 0);
    EXPECT_TRUE(messages.empty());
    // A full found list abandons the whole walk with a message.
    EXPECT_EQ(Search("app.dll", 1), std::vector<std::string>{"C:\\m\\deep\\app.dll"});
    EXPECT_TRUE(abandoned);
    EXPECT_EQ(messages, std::vector<std::string>{"Limit reached. Abandoning search..."});
}

TEST_F(SearchWalk, AHitNeedsAsManyMatchingFilesAsThereArePatterns) {
    Add("C:\\prod\\Zeta.dll");
    Add("C:\\prod\\alpha.DLL");
    Add("C:\\prod\\readme.txt");
    // Two patterns, two .dll files and no .exe: the rule counts files, so it is a hit, and
    // the entry is the first matching file in list order (letter case ignored).
    EXPECT_EQ(Search("*.exe;*.dll"), std::vector<std::string>{"C:\\prod\\alpha.DLL"});
    EXPECT_TRUE(Search("Zeta.exe;Zeta.dll").empty());
    // A trailing ";" adds an empty pattern that counts but matches nothing.
    EXPECT_TRUE(Search("Zeta.dll;").empty());
    EXPECT_EQ(Search(" zeta.DLL "), std::vector<std::string>{"C:\\prod\\Zeta.dll"});
}

TEST_F(SearchWalk, UnreadableFolderIsSkippedAndTheWalkGoesOn) {
    Add("C:\\a\\app.dll");
    Add("C:\\z\\sub\\");
    unreadable.insert("c:\\z\\");
    EXPECT_EQ(Search("app.dll"), std::vector<std::string>{"C:\\a\\app.dll"});
    EXPECT_EQ(entered, (std::vector<std::string>{"C:\\", "C:\\z", "C:\\a"}));
}

TEST_F(SearchWalk, CancelStopsTheWalkAfterTheCurrentSubfolder) {
    for (int i = 0; i < 10; ++i) Add("C:\\f" + std::to_string(i) + "\\app.dll");
    Add("C:\\f9\\sub\\");                                  // f9 is entered first, then its subfolder
    onEnter = [this] { cancelled = entered.size() == 3; }; // pressed while in C:\f9\sub
    EXPECT_TRUE(Search("app.dll").empty());
    EXPECT_EQ(entered, (std::vector<std::string>{"C:\\", "C:\\f9", "C:\\f9\\sub"}));
}

TEST(FileSpec, MatchesLikeTheSystemFileSearch) {
    EXPECT_TRUE(MatchFileSpec("README", "*.*"));
    EXPECT_TRUE(MatchFileSpec("Readme", "readme.*"));
    EXPECT_TRUE(MatchFileSpec("kv32.dll", "kv??.dll"));
    EXPECT_FALSE(MatchFileSpec("kv3.dll", "kv??.dll"));
    EXPECT_TRUE(MatchFileSpec("a.tar.gz", "*.gz"));
    EXPECT_FALSE(MatchFileSpec("app.dllx", "*.dll"));
}

} // namespace
