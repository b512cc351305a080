// One folder's entries as the folder and file lists see them. The header is portable; the
// reading itself uses the system's directory search.
#pragma once
#include <string>
#include <vector>

// One folder: its subfolders and its normal files, names only.
struct FolderListing {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

// Reads one folder (its path may or may not end in a backslash) with a single directory
// search. Hidden and system entries are left out, as the folder and file lists leave them
// out, and so are linked folders (junctions, symbolic links), so that a walk cannot loop.
// Returns false when the folder cannot be read (it does not exist, no rights, the drive is
// not ready). The names come in the order the system gives them.
bool ReadFolderListing(const std::string& path, FolderListing& listing);
