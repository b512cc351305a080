// The component search's link to the platform: how it reads a folder, and the search
// window wired to the real file system and message queue. FindComponents itself is
// declared with the wizard's other procedures (wizard/later_parts.h).
#pragma once
#include <functional>
#include <string>

#include "wizard/seeker_form.h"

// Reads one folder with a single directory search: its subfolders and its normal files.
// Hidden and system entries are left out, as the folder and file lists leave them out,
// and so are linked folders (junctions, symbolic links), so that the walk cannot loop.
// Returns false when the folder cannot be read.
bool ReadFolderListing(const std::string& path, FolderListing& listing);

// The search window's platform: the real file system, the real message queue, message
// boxes through MsgBox. `doEvents` replaces the message processing when given (tests).
SeekerPlatform MakeSeekerPlatform(std::function<void()> doEvents = {});
