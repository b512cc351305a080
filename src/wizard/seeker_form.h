// The search window of the component search. It is never shown: FindComponents loads it,
// sets its criteria, presses its Search button and reads its result list. Its controls are
// therefore plain objects that behave like the drive, folder and file lists they stand for
// (same names, same properties), not hidden windows: a walk over tens of thousands of
// folders would otherwise spend its time creating and filling list controls nobody sees.
// Portable: the platform enters through SeekerPlatform.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One folder as the search sees it: its subfolders and its normal files, names only,
// each list in the order the folder and file lists show them.
struct FolderListing {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

// What the search window needs from the platform.
struct SeekerPlatform {
    // Reads one folder (its path may or may not end in a backslash). Returns false when
    // the folder cannot be read (it does not exist, no rights, the drive is not ready).
    std::function<bool(const std::string& path, FolderListing& listing)> ReadFolder;
    // Lets the window system process its pending messages.
    std::function<void()> DoEvents;
    // Shows a message box with an OK button, no icon and the application title.
    std::function<void(const std::string& text)> ShowMessage;
    // The process's current folder (used by ResetSearch).
    std::function<std::string()> CurrentFolder;
    // Ends the program at once (the Exit button).
    std::function<void()> EndProgram;
    // Whether the user asked to stop the search (the wizard's Cancel, the key x).
    std::function<bool()> Cancelled;
};

// Order of the folder and file lists: alphabetical, letter case ignored (A-Z equal a-z,
// other bytes by value); names equal but for case keep byte order so the order is total.
bool ListOrderLess(const std::string& a, const std::string& b);
// Sorts both lists of a listing into list order.
void SortListing(FolderListing& listing);

// Whether a file name matches one pattern: * is any run of characters, ? one character,
// letter case ignored. A pattern ending in ".*" also matches a name without a dot, so that
// "*.*" matches every file and "readme.*" matches README, as the system's file search does.
// An empty pattern matches nothing.
bool MatchFilePattern(const std::string& name, const std::string& pattern);
// Whether a file name matches any of the ";"-separated patterns (blanks around each trimmed).
bool MatchFileSpec(const std::string& name, const std::string& spec);

class SeekerForm {
  public:
    explicit SeekerForm(SeekerPlatform platform);

    struct Label {
        std::string Caption;
    };
    struct CommandButton {
        std::string Caption;
    };
    struct PictureBox {
        bool Visible = true;
        int Left = 0, Top = 0, Width = 0;
    };
    struct TextBox {
        std::string Text;
    };
    struct ListBox {
        std::vector<std::string> List;
        // A list box holds at most 32767 entries; adding beyond that fails like running
        // out of memory, which ends a search.
        size_t Capacity = 32767;
        size_t ListCount() const { return List.size(); }
        void AddItem(const std::string& item);
        void Clear() { List.clear(); }
    };
    struct DriveListBox {
        std::string Drive;
    };
    // The folder list: Path is its current folder; List holds the full paths of that
    // folder's subfolders. ListIndex -1 is the entry of the current folder itself.
    class DirListBox {
      public:
        explicit DirListBox(SeekerForm& form) : form_(form) {}
        const std::string& Path() const { return path_; }
        // Opens a folder. A folder that cannot be read raises nothing here: it shows no
        // subfolders and Readable() tells the search to give it up.
        void SetPath(const std::string& path);
        bool Readable() const;
        size_t ListCount() const;
        // Full path of subfolder i (0 upward); i = -1 gives the current folder.
        std::string List(int i) const;
        int ListIndex = -1;
        // The listing of the current folder (also the file list's source).
        const FolderListing& Listing() const;

      private:
        friend class SeekerForm;
        struct Cached {
            std::string path;
            bool readable;
            FolderListing listing;
        };
        SeekerForm& form_;
        std::string path_;
        // Listings of the current folder and the folders above it that were opened on the
        // way down: the walk returns to each of them once per subfolder, and reading a
        // folder again each time would double the work of the walk.
        std::vector<Cached> chain_;
        size_t current_ = 0;
        // Counts the folder changes, so that the file list knows when to match again.
        unsigned long long serial_ = 0;
    };
    // The file list: the files of Path that match Pattern, in list order.
    class FileListBox {
      public:
        explicit FileListBox(SeekerForm& form) : form_(form) {}
        std::string Path;
        std::string Pattern = "*.*";
        size_t ListCount() const;
        std::string List(size_t i) const;

      private:
        // The matching names of the folder list's current listing, made when first asked.
        const std::vector<std::string>& Matches() const;
        SeekerForm& form_;
        mutable std::vector<std::string> matches_;
        mutable unsigned long long matchedSerial_ = ~0ull;
        mutable std::string matchedPattern_;
    };

    // Controls, named as the window names them.
    PictureBox Picture1;
    DriveListBox drvList;
    DirListBox dirList{*this};
    FileListBox filList{*this};
    TextBox txtSearchSpec;
    Label lblCriteria;
    PictureBox Picture2;
    ListBox lstFoundFiles;
    Label lblfound;
    Label lblCount;
    CommandButton cmdSearch;
    CommandButton cmdExit;

    // True while a search may go on; cleared by the stop button and after the first hit.
    bool SearchRunning = false;

    // Walks the tree below path; returns true when the whole search is to be abandoned.
    bool SearchFolder(const std::string& path, const std::string& backUp);
    void ResetSearch();

    // Property changes that fire the window's change handlers.
    void SetSearchSpec(const std::string& text);
    void SetFolder(const std::string& path);
    void SetDrive(const std::string& drive);
    // Pressing the Search button (setting its value to true) runs its click handler.
    void PressSearch() { cmdSearch_Click(); }
    void PressExit() { cmdExit_Click(); }

    void Form_Load();
    void dirList_Change();
    void dirList_LostFocus();
    void drvList_Change();
    void txtSearchSpec_Change();
    void cmdSearch_Click();
    void cmdExit_Click();

  private:
    SeekerPlatform platform_;
};
