// Every key that setup.exe reads or writes: its section, its name (<N> standing for an
// item number) and how its text is read.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class Reading {
    Text,   // used as written
    Number, // the number the text begins with
    Flag,   // on when the text reads as a number other than 0
    Count,  // the number of items of a list
    Path,   // a script path: a folder macro, or relative to the destination
    File,   // a file name in the distribution folder
    Root,   // a registry root as a number
};

struct KnownKey {
    const char* section; // "install" or "uninstall"
    const char* name;    // "srcfile<N>NoOverwrite"
    Reading reading;
    const char* countKey; // for an item key: the count of its list, else ""
    bool required;        // an item that each entry of its list should have
};

const std::vector<KnownKey>& KnownKeys();

// The known key that `name` spells (letter case ignored; N in decimal without leading
// zeros), with the item number, or nothing.
struct KeyMatch {
    const KnownKey* key = nullptr;
    int number = 0; // 0 for a key without <N>
};
std::optional<KeyMatch> MatchKnownKey(std::string_view name, std::string_view section);
// The same, in whichever section the key is known.
std::optional<KeyMatch> MatchKnownKeyAnywhere(std::string_view name);

// The known key closest to a misspelt one, spelt out with the misspelt key's own item
// number ("srcfile3NoOverwrite"); empty when nothing is close.
std::string ClosestKnownKey(std::string_view name);

// A known key's name with <N> replaced by a number.
std::string KeyName(const KnownKey& key, int number);

// Folder macros: the five that the program names and the user's common shell folders.
bool IsKnownFolderMacro(std::string_view name);
