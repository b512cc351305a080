// The engine's tests: the install passes and the uninstaller run on a simulated computer, with a
// recorder in place of the user. A distribution is seeded into the simulation, and what a run
// leaves is read back from it: files, sections of the installed script, registry values.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/install_passes.h"
#include "engine/setup_log.h"
#include "engine/simulated/simulated_computer.h"
#include "uninstall/uninstaller.h"

namespace kvtest {

using Lines = std::vector<std::string>;
struct Shown {
    std::string text;
    Question question;
    std::string title;
};

// A log that keeps its lines.
struct MemoryLog : SetupLog {
    Lines lines;
    void Write(std::string_view line) override { lines.emplace_back(line); }
};

inline const std::string ProductKey = "SOFTWARE\\Kavex Software\\";
inline const std::string UninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline const std::string FontsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

class EngineTest : public ::testing::Test, public SetupUi {
  protected:
    SimulatedComputer pc;
    SetupSession session;
    std::vector<Shown> shown;
    Lines progress, started; // progress as "done/total text"
    Answer answer = Answer::Yes;
    std::string dist, dest;

    // A key that every Windows has and the program writes into without creating it.
    EngineTest() { session.computer = &pc, pc.CreateKey(RegHKeyLocalMachine, FontsKey); }
    Answer Ask(const std::string& text, Question question, const std::string& title) override {
        return shown.push_back({text, question, title}), answer;
    }
    void ShowProgress(int done, int total, const std::string& text) override {
        progress.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + text);
    }
    bool StartProgram(const std::string& commandLine) override {
        return started.push_back(commandLine), true;
    }
    void Reset() { shown.clear(), progress.clear(), started.clear(); }

    // The distribution C:\<name>\dist\ (the program, its library, the script and each of
    // `files` holding "shipped <name>"), to be installed into C:\<name>\Program Files\Acme Tools\.
    void Prepare(const std::string& name, const std::string& script, const Lines& files = {}) {
        dest = "C:\\" + name + "\\Program Files\\Acme Tools\\";
        session.destDir = dest;
        Distribute("C:\\" + name + "\\dist\\", script, files);
    }
    void Distribute(const std::string& folder, const std::string& script, const Lines& files = {}) {
        dist = session.sourceDir = folder;
        pc.AddFile(folder + "setup.exe", "program of " + folder);
        pc.AddFile(folder + "STKIT432.DLL", "library of " + folder);
        pc.AddFile(folder + "setup.ini", script);
        for (const std::string& file : files) pc.AddFile(folder + file, "shipped " + file);
    }
    // False when pass one stopped the installation.
    bool Install() {
        if (RunInstallPassOne(session, *this) == PassOneOutcome::Stopped) return false;
        return RunInstallPassTwo(session, *this), true;
    }
    // The installed program's run: a session of its own, started from the Setup folder.
    UninstallOutcome Uninstall(bool quiet) {
        SetupSession run = session;
        run.sourceDir = dest + "Setup\\", run.quiet = quiet;
        run.destDir = run.ReadIni("destpath", "uninstall");
        return RunUninstall(run, *this);
    }

    std::string Text(const std::string& path) { return pc.FileBytes(path).value_or("(no file)"); }
    bool IsFile(const std::string& path) { return pc.FileBytes(path).has_value(); }
    // The non-blank lines of a section of a script, as they stand.
    Lines Section(const std::string& path, const std::string& section) {
        Lines lines;
        bool inside = false;
        const std::string text = Text(path);
        for (std::string_view rest = text; !rest.empty();) {
            std::string line(rest.substr(0, rest.find('\n')));
            rest.remove_prefix(std::min(rest.size(), line.size() + 1));
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line[0] == '[')
                inside = FoldName(line) == FoldName("[" + section + "]");
            else if (inside && !line.empty())
                lines.push_back(line);
        }
        return lines;
    }
    Lines Records() { return Section(dest + "Setup\\setup.ini", "uninstall"); }
    std::string InstallState() {
        const Lines lines = Section(dest + "Setup\\setup.ini", "install");
        return lines.empty() ? "(no section)" : lines.back();
    }

    static std::string KeyPath(RegRoot root, const std::string& key) {
        return root == RegHKeyClassesRoot ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + key
                                          : RegRootName(root) + "\\" + key;
    }
    // The values of a key as "name = text" ("@" the default value); nullopt when it is missing.
    // HKEY_CLASSES_ROOT is read where the program writes it, the machine's part.
    std::optional<Lines> Values(RegRoot root, const std::string& key) {
        std::optional<Lines> values;
        for (const std::string& line : pc.RegistryDump()) {
            if (line.starts_with("  ")) {
                if (values) values->push_back(line.substr(2));
            } else if (values) {
                break;
            } else if (FoldName(line) == FoldName(KeyPath(root, key))) {
                values.emplace();
            }
        }
        return values;
    }
    std::optional<std::string> Reg(RegRoot root, const std::string& key, std::string name) {
        const std::string prefix = FoldName((name.empty() ? "@" : name) + " = ");
        for (const std::string& line : Values(root, key).value_or(Lines{}))
            if (FoldName(line).starts_with(prefix)) return line.substr(prefix.size());
        return std::nullopt;
    }
    bool KeyThere(RegRoot root, const std::string& key) { return Values(root, key).has_value(); }
    // How many subkeys (direct ones) and values a key holds; -1 and -1 when it is missing.
    std::pair<int, int> Contents(RegRoot root, const std::string& key) {
        const std::optional<Lines> values = Values(root, key);
        if (!values) return {-1, -1};
        const std::string below = FoldName(KeyPath(root, key) + "\\");
        int subkeys = 0;
        for (const std::string& line : pc.RegistryDump())
            subkeys +=
                FoldName(line).starts_with(below) && line.find('\\', below.size()) == std::string::npos;
        return {subkeys, static_cast<int>(values->size())};
    }
    void Put(RegRoot root, const std::string& key, const std::string& name, const std::string& value) {
        pc.CreateKey(root, key), pc.SetValue(root, key, name, value, 1);
    }
};

} // namespace kvtest
