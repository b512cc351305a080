// The component search's link to the platform: the walk wired to the real file system and
// message queue. FindComponents itself is declared with the wizard's other procedures
// (wizard/screen_actions.h).
#pragma once
#include <functional>

#include "system/folder_listing.h"
#include "wizard/seeker.h"

// The walk's platform: the real file system, the real message queue, message boxes
// through MsgBox; `cancelled` tells whether the user has stopped the search.
SeekerPlatform MakeSeekerPlatform(std::function<bool()> cancelled);
