// Where each section and key of a script stands, for the locations of messages only:
// the values themselves are always read through the program's own reader.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ScriptLine {
    std::string section; // as written, trimmed
    std::string key;     // as written, trimmed
    int line = 0;
    bool read = false; // the reader finds it: first key of its name in the first section of its name
};

struct ScriptSection {
    std::string name;
    int line = 0;
    bool first = false; // later sections of the same name are never searched
};

class ScriptLines {
  public:
    // Nothing when the file cannot be opened.
    static std::optional<ScriptLines> Load(const std::string& path);

    const std::vector<ScriptLine>& Keys() const { return keys_; }
    const std::vector<ScriptSection>& Sections() const { return sections_; }
    // Line of the key that the reader finds, 0 when there is none.
    int LineOf(std::string_view key, std::string_view section = "install") const;
    // The first line of a section that the reader searches, 0 when there is none.
    int SectionLine(std::string_view section) const;

  private:
    std::vector<ScriptLine> keys_;
    std::vector<ScriptSection> sections_;
};
