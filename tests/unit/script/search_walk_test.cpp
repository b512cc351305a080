// The component search's walk over an in-memory folder tree: order of the walk, the
// file-count rule, the first hit, unreadable folders, cancelling and the result limit.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "script/globals.h"
#include "wizard/seeker_form.h"

namespace {

std::string Lower(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// A folder tree given as a list of file paths and folder paths (folders end in "\").
class FakeTree {
  public:
    void Add(const std::string& path) {
        const bool isFolder = path.back() == '\\';
        std::string parent = path.substr(0, 3); // the root, C:\.
        folders_[Lower(parent)];
        size_t start = 3;
        while (start < path.size()) {
            size_t end = path.find('\\', start);
            const bool last = end == std::string::npos || end + 1 == path.size();
            const std::string name = path.substr(start, end == std::string::npos ? end : end - start);
            auto& listing = folders_[Lower(parent)];
            auto& list = (last && !isFolder) ? listing.files : listing.folders;
            bool present = false;
            for (auto& n : list) present = present || Lower(n) == Lower(name);
            if (!present) list.push_back(name);
            parent = (parent.size() == 3 ? parent : parent + "\\") + name;
            if (!(last && !isFolder)) folders_[Lower(parent)];
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    void MakeUnreadable(const std::string& path) { unreadable_.insert(Lower(path)); }

    SeekerPlatform Platform(SeekerForm** form) {
        SeekerPlatform platform;
        platform.ReadFolder = [this](const std::string& path, FolderListing& listing) {
            reads.push_back(path);
            std::string key = Lower(path);
            if (key.size() > 3 && key.back() == '\\') key.pop_back();
            if (unreadable_.count(key)) return false;
            auto it = folders_.find(key);
            if (it == folders_.end()) return false;
            listing = it->second;
            return true;
        };
        platform.DoEvents = [this, form] {
            entered.push_back((*form)->dirList.Path());
            if (onEnter) onEnter();
        };
        platform.ShowMessage = [this](const std::string& text) { messages.push_back(text); };
        platform.CurrentFolder = [] { return std::string("C:\\"); };
        return platform;
    }

    std::vector<std::string> reads, entered, messages;
    std::function<void()> onEnter;

  private:
    std::map<std::string, FolderListing> folders_;
    std::set<std::string> unreadable_;
};

class SearchWalk : public ::testing::Test {
  protected:
    void SetUp() override { SearchCancelled = false; }
    void TearDown() override { SearchCancelled = false; }

    // Runs a search from C:\ as FindComponents drives it; returns the result list.
    std::vector<std::string> Search(const std::string& spec) {
        form_ = std::make_unique<SeekerForm>(tree.Platform(&formPtr_));
        formPtr_ = form_.get();
        form_->SetSearchSpec(spec);
        form_->SetFolder("C:\\");
        form_->PressSearch();
        return form_->lstFoundFiles.List;
    }

    FakeTree tree;
    std::unique_ptr<SeekerForm> form_;
    SeekerForm* formPtr_ = nullptr; // the platform's callbacks find the form through it
};

TEST_F(SearchWalk, TakesSubfoldersLastToFirstDeepestFirstAndReadsEachFolderOnce) {
    for (const char* p :
         {"C:\\apps\\", "C:\\Beta\\b1\\", "C:\\beta\\B2\\x\\", "C:\\Cee\\", "C:\\beta\\b1\\n.txt"})
        tree.Add(p);
    EXPECT_TRUE(Search("*.none").empty());
    const std::vector<std::string> expected = {
        "C:\\", "C:\\Cee", "C:\\Beta", "C:\\Beta\\B2", "C:\\Beta\\B2\\x", "C:\\Beta\\b1", "C:\\apps"};
    EXPECT_EQ(tree.entered, expected);
    // Each folder's listing is read once, although the walk comes back to it per subfolder.
    EXPECT_EQ(tree.reads, expected);
    EXPECT_EQ(form_->cmdSearch.Caption, "&Reset");
    EXPECT_EQ(form_->cmdExit.Caption, "E&xit");
    EXPECT_EQ(form_->lblCount.Caption, "0");
    EXPECT_EQ(form_->dirList.Path(), "C:\\");
}

TEST_F(SearchWalk, FirstHitInWalkOrderWinsAndLevelsAboveStillLookAtTheirFiles) {
    tree.Add("C:\\a\\app.dll");       // would be a hit, but is never reached
    tree.Add("C:\\m\\deep\\app.dll"); // first hit: m is the last subfolder, deep below it
    tree.Add("C:\\m\\app.dll");       // m's own files are looked at on the way out
    tree.Add("C:\\m\\other.txt");
    tree.Add("C:\\app.dll"); // and so are the root's
    const auto found = Search("app.dll");
    const std::vector<std::string> expected = {"C:\\m\\deep\\app.dll", "C:\\m\\app.dll", "C:\\app.dll"};
    EXPECT_EQ(found, expected);
    EXPECT_EQ(form_->lblCount.Caption, " 3");
    for (const auto& f : tree.entered) EXPECT_NE(f, "C:\\a");
}

TEST_F(SearchWalk, CountsMatchingFilesAgainstPatterns) {
    // Two patterns, two .dll files and no .exe: the rule counts files, so it is a hit, and
    // the entry is the first file in list order (letter case ignored).
    tree.Add("C:\\prod\\Zeta.dll");
    tree.Add("C:\\prod\\alpha.DLL");
    tree.Add("C:\\prod\\readme.txt");
    EXPECT_EQ(Search("*.exe;*.dll"), std::vector<std::string>{"C:\\prod\\alpha.DLL"});
}

TEST_F(SearchWalk, OneOfTwoNamedFilesOrAnEmptyTrailingPatternIsNoHit) {
    tree.Add("C:\\prod\\app.dll");
    tree.Add("C:\\prod\\notes.txt");
    EXPECT_TRUE(Search("app.exe;app.dll").empty());
    // A trailing ";" adds an empty pattern that counts but matches nothing.
    EXPECT_TRUE(Search("app.dll;").empty());
    EXPECT_EQ(Search(" app.dll ").size(), 1u);
}

TEST_F(SearchWalk, UnreadableFolderIsSkippedAndTheWalkGoesOn) {
    tree.Add("C:\\a\\app.dll");
    tree.Add("C:\\z\\sub\\");
    tree.MakeUnreadable("C:\\z");
    EXPECT_EQ(Search("app.dll"), std::vector<std::string>{"C:\\a\\app.dll"});

    // The unreadable folder is the last one the root takes: the root's files still count.
    FakeTree second;
    second.Add("C:\\a\\x.txt");
    second.Add("C:\\app.dll");
    second.MakeUnreadable("C:\\a");
    tree = second;
    EXPECT_EQ(Search("app.dll"), std::vector<std::string>{"C:\\app.dll"});
}

TEST_F(SearchWalk, SearchCancelledStopsTheWalkAfterTheCurrentSubfolder) {
    for (int i = 0; i < 10; ++i) tree.Add("C:\\f" + std::to_string(i) + "\\app.dll");
    tree.Add("C:\\f9\\sub\\"); // f9 is entered first, then its subfolder
    tree.onEnter = [this] {
        if (tree.entered.size() == 3) SearchCancelled = true; // pressed while in C:\f9\sub
    };
    EXPECT_TRUE(Search("app.dll").empty());
    const std::vector<std::string> expected = {"C:\\", "C:\\f9", "C:\\f9\\sub"};
    EXPECT_EQ(tree.entered, expected);
}

TEST_F(SearchWalk, FullResultListAbandonsTheWholeWalk) {
    tree.Add("C:\\m\\deep\\app.dll");
    tree.Add("C:\\m\\app.dll");
    tree.Add("C:\\app.dll");
    SeekerForm* formPtr = nullptr;
    SeekerForm form(tree.Platform(&formPtr));
    formPtr = &form;
    form.lstFoundFiles.Capacity = 1;
    form.SetSearchSpec("app.dll");
    form.SetFolder("C:\\");
    EXPECT_TRUE(form.SearchFolder("C:\\", ""));
    EXPECT_EQ(form.lstFoundFiles.List, std::vector<std::string>{"C:\\m\\deep\\app.dll"});
    EXPECT_EQ(tree.messages, std::vector<std::string>{"Limit reached. Abandoning search..."});
}

TEST_F(SearchWalk, ResetAndStopButtons) {
    tree.Add("C:\\a\\app.dll");
    Search("app.dll");
    ASSERT_EQ(form_->lstFoundFiles.ListCount(), 1u);
    form_->PressSearch(); // shows "&Reset" now
    EXPECT_EQ(form_->cmdSearch.Caption, "&Search");
    EXPECT_EQ(form_->lblCount.Caption, "0");
    EXPECT_EQ(form_->lstFoundFiles.ListCount(), 0u);
    EXPECT_TRUE(form_->Picture1.Visible);
    EXPECT_FALSE(form_->Picture2.Visible);

    // The stop button (captioned "Cancel" while searching) ends the walk at the next folder.
    tree.entered.clear();
    tree.onEnter = [this] {
        EXPECT_EQ(form_->cmdExit.Caption, "Cancel");
        form_->PressExit();
    };
    form_->PressSearch();
    EXPECT_EQ(tree.entered, std::vector<std::string>{"C:\\"});
    EXPECT_EQ(form_->lstFoundFiles.ListCount(), 0u);
}

TEST(FileSpec, MatchesLikeTheSystemFileSearch) {
    EXPECT_TRUE(MatchFileSpec("README", "*.*"));
    EXPECT_TRUE(MatchFileSpec("Readme", "readme.*"));
    EXPECT_TRUE(MatchFileSpec("APP.DLL", "app.dll"));
    EXPECT_TRUE(MatchFileSpec("kv32.dll", "kv??.dll"));
    EXPECT_FALSE(MatchFileSpec("kv3.dll", "kv??.dll"));
    EXPECT_TRUE(MatchFileSpec("a.tar.gz", "*.gz"));
    EXPECT_FALSE(MatchFileSpec("app.dllx", "*.dll"));
    EXPECT_TRUE(MatchFileSpec("tool.exe", "*.dll; *.exe"));
    EXPECT_FALSE(MatchFileSpec("tool.exe", ""));
    EXPECT_FALSE(MatchFileSpec("tool.exe", ";"));
}

TEST(FileSpec, ListOrderIgnoresLetterCase) {
    FolderListing listing{{"beta", "Alpha", "_x", "Gamma"}, {"b.DLL", "A.dll", "a.dll"}};
    SortListing(listing);
    EXPECT_EQ(listing.folders, (std::vector<std::string>{"_x", "Alpha", "beta", "Gamma"}));
    EXPECT_EQ(listing.files, (std::vector<std::string>{"A.dll", "a.dll", "b.DLL"}));
}

} // namespace
