// The setup program's command line: its command words (uninstall, quiet, ignoreprev,
// unattended) and its values (dest=FOLDER, log=FILE). Portable: no platform calls.
//
// Words are separated by blanks and compared without regard to letter case. A word, or the
// value after its "=", may be enclosed in double quotes: inside them a blank belongs to the
// word and a backslash is only a backslash, so "dest=C:\Program Files\Acme\" and
// dest="C:\Program Files\Acme\" are one word each. An unquoted dest= value runs to the end of
// the command line, blanks included (a folder named "quiet" is no command word), and loses any
// quotes in it; any other unquoted value ends at the next blank.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CommandWords {
  public:
    explicit CommandWords(std::string_view arguments);
    // The arguments hold this word without a value.
    bool Has(std::string_view word) const;
    // The value of the last name=value word of that name; none when there is none.
    std::optional<std::string> Value(std::string_view name) const;

  private:
    struct Word {
        std::string name;
        std::optional<std::string> value;
    };
    std::vector<Word> words_;
};

// The arguments of a command line: what follows the program's name (quoted or not) and
// the blanks after it.
std::string CommandArguments(std::string_view commandLine);
