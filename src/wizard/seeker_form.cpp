#include "wizard/seeker_form.h"

#include <algorithm>
#include <new>

#include "script/text.h"
#include "script/values.h"

namespace {

// Raised when the result list cannot take another entry.
struct FoundListFull {};
// Raised by a level of the walk whose folder cannot be read.
struct FolderUnreadable {};

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

// Whether `folder` is `path` itself or a folder above it.
bool IsSameOrAbove(const std::string& folder, const std::string& path) {
    if (folder.size() > path.size()) return false;
    for (size_t i = 0; i < folder.size(); ++i)
        if (LowerAscii(folder[i]) != LowerAscii(path[i])) return false;
    if (folder.size() == path.size()) return true;
    return folder.back() == '\\' || path[folder.size()] == '\\';
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

bool MatchFilePattern(const std::string& name, const std::string& pattern) {
    if (pattern.empty() || name.empty()) return false;
    if (MatchFrom(name.c_str(), pattern.c_str())) return true;
    // "name.*" also stands for "name" without any extension.
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
        name.find('.') == std::string::npos)
        return MatchFrom(name.c_str(), pattern.substr(0, pattern.size() - 2).c_str());
    return false;
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

// ---------------------------------------------------------------------------------------
// Controls
// ---------------------------------------------------------------------------------------

void SeekerForm::ListBox::AddItem(const std::string& item) {
    if (List.size() >= Capacity) throw FoundListFull{};
    List.push_back(item);
}

void SeekerForm::DirListBox::SetPath(const std::string& path) {
    if (!chain_.empty() && EqualNoCase(path, path_)) return; // no change, no Change event
    // Keep the listings of the folders above the new one; drop those of folders left behind.
    size_t keep = chain_.size();
    while (keep > 0 && !IsSameOrAbove(chain_[keep - 1].path, path)) --keep;
    chain_.resize(keep);
    if (keep > 0 && EqualNoCase(chain_[keep - 1].path, path)) {
        current_ = keep - 1;
    } else {
        Cached entry{path, false, {}};
        if (form_.platform_.ReadFolder) entry.readable = form_.platform_.ReadFolder(path, entry.listing);
        if (!entry.readable) entry.listing = {};
        SortListing(entry.listing);
        chain_.push_back(std::move(entry));
        current_ = chain_.size() - 1;
    }
    path_ = path;
    ++serial_;
    ListIndex = -1;
    form_.dirList_Change();
}

bool SeekerForm::DirListBox::Readable() const {
    return !chain_.empty() && chain_[current_].readable;
}

const FolderListing& SeekerForm::DirListBox::Listing() const {
    static const FolderListing empty;
    return chain_.empty() ? empty : chain_[current_].listing;
}

size_t SeekerForm::DirListBox::ListCount() const {
    return Listing().folders.size();
}

std::string SeekerForm::DirListBox::List(int i) const {
    if (i < 0) return path_;
    const auto& folders = Listing().folders;
    if (static_cast<size_t>(i) >= folders.size()) return {};
    if (!path_.empty() && path_.back() == '\\') return path_ + folders[i];
    return path_ + "\\" + folders[i];
}

const std::vector<std::string>& SeekerForm::FileListBox::Matches() const {
    // The file list shows the folder list's folder; moved elsewhere it shows nothing.
    static const std::vector<std::string> none;
    if (!EqualNoCase(Path, form_.dirList.Path())) return none;
    if (matchedSerial_ != form_.dirList.serial_ || matchedPattern_ != Pattern) {
        matches_.clear();
        for (const auto& name : form_.dirList.Listing().files)
            if (MatchFileSpec(name, Pattern)) matches_.push_back(name);
        matchedSerial_ = form_.dirList.serial_;
        matchedPattern_ = Pattern;
    }
    return matches_;
}

size_t SeekerForm::FileListBox::ListCount() const {
    return Matches().size();
}

std::string SeekerForm::FileListBox::List(size_t i) const {
    const auto& m = Matches();
    return i < m.size() ? m[i] : std::string();
}

// ---------------------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------------------

SeekerForm::SeekerForm(SeekerPlatform platform) : platform_(std::move(platform)) {
    // Design-time contents.
    txtSearchSpec.Text = "*.*";
    lblCriteria.Caption = "Search &Criteria:";
    lblfound.Caption = "&Files Found:";
    lblCount.Caption = std::string(1, '0'); // not = "0": GCC 12 warns falsely (-Wrestrict)
    cmdSearch.Caption = "&Search";
    cmdExit.Caption = "E&xit";
    Picture2.Visible = false;
    Form_Load();
}

void SeekerForm::Form_Load() {
    // The window is never shown; the panels only keep their design positions.
    Picture2.Left = Picture2.Top = 0;
    Picture1.Left = Picture1.Top = 0;
    Picture1.Width = Picture2.Width = 6000;
}

void SeekerForm::SetSearchSpec(const std::string& text) {
    txtSearchSpec.Text = text;
    txtSearchSpec_Change();
}

void SeekerForm::SetFolder(const std::string& path) {
    dirList.SetPath(path);
}

void SeekerForm::SetDrive(const std::string& drive) {
    if (EqualNoCase(drive, drvList.Drive)) return;
    drvList.Drive = drive;
    drvList_Change();
}

void SeekerForm::txtSearchSpec_Change() {
    filList.Pattern = txtSearchSpec.Text;
}

void SeekerForm::dirList_Change() {
    filList.Path = dirList.Path();
}

void SeekerForm::dirList_LostFocus() {
    SetFolder(dirList.List(dirList.ListIndex));
}

void SeekerForm::drvList_Change() {
    const std::string previous = dirList.Path();
    std::string root = drvList.Drive.substr(0, 2);
    if (root.size() == 2) root += "\\";
    SetFolder(root);
    if (!dirList.Readable()) {
        // The drive cannot be opened: back to the drive of the folder shown before.
        if (!previous.empty()) SetFolder(previous);
        drvList.Drive = previous.substr(0, 2);
    }
}

void SeekerForm::cmdExit_Click() {
    if (cmdExit.Caption == "E&xit") {
        if (platform_.EndProgram) platform_.EndProgram();
    } else {
        SearchRunning = false;
    }
}

void SeekerForm::ResetSearch() {
    lstFoundFiles.Clear();
    lblCount.Caption = std::string(1, '0'); // not = "0": GCC 12 warns falsely (-Wrestrict)
    SearchRunning = false;
    Picture2.Visible = false;
    cmdSearch.Caption = "&Search";
    cmdExit.Caption = "E&xit";
    Picture1.Visible = true;
    const std::string folder = platform_.CurrentFolder ? platform_.CurrentFolder() : std::string();
    if (!folder.empty()) {
        SetFolder(folder);
        drvList.Drive = folder.substr(0, 2);
    }
}

void SeekerForm::cmdSearch_Click() {
    // Any failure ends the handler quietly.
    try {
        if (cmdSearch.Caption == "&Reset") {
            ResetSearch();
            return;
        }
        if (!EqualNoCase(dirList.Path(), dirList.List(dirList.ListIndex))) {
            SetFolder(dirList.List(dirList.ListIndex));
            return;
        }
        Picture2.Left = Picture2.Top = 0;
        Picture1.Visible = false;
        Picture2.Visible = true;
        cmdExit.Caption = "Cancel";
        filList.Pattern = txtSearchSpec.Text;
        SearchFolder(dirList.Path(), "");
        filList.Path = dirList.Path();
        cmdSearch.Caption = "&Reset";
        cmdExit.Caption = "E&xit";
    } catch (...) {
    }
}

// Depth first: the subfolders of a folder from the last one in the folder list to the
// first, then the folder's own files. The first folder whose file list holds at least as
// many files as the search criteria have patterns is a hit; it stops the walk, but every
// level above it still looks at its own files on its way out.
bool SeekerForm::SearchFolder(const std::string& path, const std::string& backUp) {
    int16_t patterns = 1;
    try {
        std::vector<std::string> pieces;
        patterns = SplitText(pieces, filList.Pattern, ";");
    } catch (...) {
    }
    SearchRunning = true;
    bool result = false;

    // Once per folder: this is where the wizard's Cancel button and key x get through.
    if (platform_.DoEvents) platform_.DoEvents();
    if (!SearchRunning) return true;

    try {
        if (!dirList.Readable()) throw FolderUnreadable{};
        int toPeek = static_cast<int>(dirList.ListCount());
        bool abandon = false;
        while (toPeek > 0 && SearchRunning) {
            const std::string old = dirList.Path();
            SetFolder(path);
            if (dirList.ListCount() > 0) {
                SetFolder(dirList.List(toPeek - 1));
                abandon = SearchFolder(dirList.Path(), old);
            }
            --toPeek;
            if (platform_.Cancelled && platform_.Cancelled()) return result;
            if (abandon) return true;
        }
        if (filList.ListCount() > 0) {
            std::string base = dirList.Path();
            if (base.size() > 3) base += "\\";
            if (filList.ListCount() >= static_cast<size_t>(std::max<int16_t>(patterns, 0))) {
                lstFoundFiles.AddItem(base + filList.List(0));
                lblCount.Caption = LeadingBlankNumber(ReadNumber(lblCount.Caption) + 1);
                SearchRunning = false;
            }
        }
        if (!backUp.empty()) SetFolder(backUp);
        return result;
    } catch (const FoundListFull&) {
    } catch (const std::bad_alloc&) {
    } catch (...) {
        // A folder that cannot be read ends its own level only. The folder list goes back
        // to the folder above, so that the level there goes on with its next subfolder
        // and still looks at its own files afterwards.
        try {
            if (!backUp.empty()) SetFolder(backUp);
        } catch (...) {
        }
        return false;
    }
    // The result list is full: nothing more can be recorded, so the whole walk ends.
    try {
        if (platform_.ShowMessage) platform_.ShowMessage("Limit reached. Abandoning search...");
    } catch (...) {
    }
    return true;
}
