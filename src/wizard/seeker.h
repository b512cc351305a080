// The component search's walk: depth first through the folders below a drive's root, for
// the first folder that holds the product's characteristic files. Portable: the file
// system, the message queue, message boxes and the user's cancel enter through
// SeekerPlatform.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "system/folder_listing.h"

// What the walk needs from the platform.
struct SeekerPlatform {
    // Reads one folder; false when it cannot be read (as ReadFolderListing).
    std::function<bool(const std::string& path, FolderListing& listing)> ReadFolder;
    // Lets the window system process its pending messages.
    std::function<void()> DoEvents;
    // Shows a message box with an OK button, no icon and the application title.
    std::function<void(const std::string& text)> ShowMessage;
    // Whether the user has asked to stop the search.
    std::function<bool()> Cancelled;
};

// Order of the folder and file lists: alphabetical, letter case ignored (A-Z equal a-z,
// other bytes by value); names equal but for case keep byte order so the order is total.
bool ListOrderLess(const std::string& a, const std::string& b);
// Sorts both lists of a listing into list order.
void SortListing(FolderListing& listing);

// Whether a file name matches any of the ";"-separated patterns (blanks around each
// trimmed): * is any run of characters, ? one character, letter case ignored. A pattern
// ending in ".*" also matches a name without a dot, so that "*.*" matches every file and
// "readme.*" matches README, as the system's file search does. An empty pattern matches
// nothing.
bool MatchFileSpec(const std::string& name, const std::string& spec);

// The found files, full paths in the order found. Like a list box it holds at most 32,767
// entries; adding one more fails as running out of memory would, which ends the search.
struct FoundFiles {
    std::vector<std::string> List;
    size_t Capacity = 32767;
    size_t ListCount() const { return List.size(); }
    void AddItem(const std::string& item);
};

class Seeker {
  public:
    // spec: the file patterns the product's folder holds, separated by ";".
    Seeker(SeekerPlatform platform, const std::string& spec);

    // Walks the tree below path: the subfolders from the last one in list order to the
    // first, each walked the same way, then the folder's own files. The first folder with
    // at least as many matching files as spec has patterns is a hit; it stops the walk, but
    // every level above it still looks at its own files on its way out. Returns true when
    // the whole search is to be abandoned (the found list is full).
    bool SearchFolder(const std::string& path);

    FoundFiles lstFoundFiles;

  private:
    void LookAtFiles(const std::string& path, const std::vector<std::string>& files);
    SeekerPlatform platform_;
    std::string spec_;
    int16_t patterns_ = 1;
    // True while the walk may take further subfolders; a hit clears it.
    bool searchRunning_ = false;
};
