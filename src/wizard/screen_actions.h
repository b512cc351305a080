// What the wizard's screens run beyond its own window: the preliminary and closing actions,
// the license and the text reader, the folder chooser and the component search.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/session.h"
#include "engine/setup_ui.h"

// Messages and documents shown with the welcome screen.
void RunPrelimActions(SetupSession& s, SetupUi& ui);
// Closing messages, documents and programs, the error summary; the program ends after them.
void RunLastActions(SetupSession& s, SetupUi& ui);
// The license screen; returns only when the installation may go on.
void ShowLicense(const SetupSession& s);
// Shows a text file in the reader window; mode 1 is the license mode. Returns the answer:
// 1 accepted, 0 refused or closed.
int16_t ShowTextFile(const std::string& path, const std::string& caption, int16_t mode);
// Finds the folder of an earlier installation and makes it the session's destination.
// `cancelled` tells whether the user asked to stop the search; it is asked after every
// folder the walk enters.
void FindComponents(SetupSession& s, const std::function<bool()>& cancelled);
// Shows the folder chooser modally, starting at drive/folder; returns the chosen folder,
// or the empty text when the user cancelled. OK on a folder longer than `longest`
// characters is refused with DestinationTooLongText, and the chooser stays open.
std::string ShowFolderChooser(const std::string& drive, const std::string& folder,
                              size_t longest = std::string::npos);
