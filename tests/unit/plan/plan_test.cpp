// setupcheck.exe's plan of the sample product, action by action, against what the
// installation of the sample leaves on the computer: files and folders, registry keys and
// values, shortcuts and the records of the installed script.
#include "engine_support.h"

#include <map>
#include <regex>
#include <set>

using namespace kvtest;

namespace {

struct Action {
    std::string kind, target, name, value, note;
};

// The standard output of a program run to its end.
std::string OutputOf(const std::string& commandLine) {
    std::string output;
    FILE* pipe = _popen(commandLine.c_str(), "rb");
    char buffer[4096];
    for (size_t got; pipe && (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    if (pipe) _pclose(pipe);
    return output;
}

// The actions of the plan's JSON, which holds one action object per line.
std::vector<Action> ParsePlan(const std::string& json) {
    static const std::regex quoted("\"((?:[^\"\\\\]|\\\\.)*)\""), escape("\\\\(.)");
    std::vector<Action> actions;
    std::istringstream lines(json);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> t; // key, value, key, value, ...
        for (std::sregex_iterator m(line.begin(), line.end(), quoted), end; m != end; ++m)
            t.push_back(std::regex_replace((*m)[1].str(), escape, "$1"));
        if (t.size() == 10 && t[0] == "kind") actions.push_back({t[1], t[3], t[5], t[7], t[9]});
    }
    return actions;
}

std::pair<HKEY, std::string> RegistryKey(const std::string& path) {
    static const std::map<std::string, HKEY> roots = {{"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                                                      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                                                      {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}};
    const size_t slash = path.find('\\');
    return {roots.at(path.substr(0, slash)), path.substr(slash + 1)};
}

} // namespace

class SetupcheckSamplePlan : public Installation {};

TEST_F(SetupcheckSamplePlan, IsWhatItsInstallationDoes) {
    const std::string sample = BinFolder() + "data\\sample\\";
    Prepare("plan", ReadText(sample + "setup.ini"));
    for (const auto& entry : std::filesystem::directory_iterator(sample))
        if (entry.path().filename() != "setup.ini")
            std::filesystem::copy_file(entry.path(), dist / entry.path().filename());
    std::filesystem::copy_file(BinFolder() + "data\\DejaVuSans.ttf", dist + "DejaVuSans.ttf");
    std::filesystem::copy_file(BinFolder() + "setupcheck.exe", root + "setupcheck.exe");
    WriteText(dest + "notes.txt", "my notes");
    WriteText(dest + "old1.txt", "old");

    const std::string destination = dest.substr(0, dest.size() - 1); // a quoted "...\" would escape its quote
    const auto plan = ParsePlan(
        OutputOf(root + "setupcheck.exe --plan \"" + destination + "\" --json \"" + dist + "setup.ini\""));
    ASSERT_GT(plan.size(), 50u);
    Install();
    for (const auto& message : shown) ADD_FAILURE() << message.text;

    const std::vector<std::string> recorded = SectionLines(InstalledScript(), "uninstall");
    size_t records = 0;
    std::set<std::string> kinds;
    for (size_t i = 0; i < plan.size(); ++i) {
        const Action& a = plan[i];
        const std::string what = a.kind + " " + a.target + " [" + a.name + "] " + a.value;
        kinds.insert(a.kind);
        if (a.kind == "folder") {
            EXPECT_TRUE(std::filesystem::is_directory(a.target)) << what;
        } else if (a.kind == "copy" || a.kind == "file" || a.kind == "font") {
            EXPECT_TRUE(IsFile(a.target)) << what;
        } else if (a.kind == "run") {
            // Only the removal of an earlier installation is run here, and there is none.
            EXPECT_FALSE(a.note.empty()) << what;
        } else if (a.kind == "delete") {
            WIN32_FIND_DATAA found;
            EXPECT_EQ(FindFirstFileA(a.target.c_str(), &found), INVALID_HANDLE_VALUE) << what;
        } else if (a.kind == "move") {
            EXPECT_EQ(ReadText(a.target), "my notes") << what;
            EXPECT_FALSE(IsFile(a.value)) << what;
        } else if (a.kind == "delete-key") {
            bool madeAgain = false;
            for (size_t j = i + 1; j < plan.size(); ++j) madeAgain |= plan[j].target == a.target;
            const auto [rootKey, path] = RegistryKey(a.target);
            EXPECT_EQ(RegKeyThere(rootKey, path), madeAgain) << what;
        } else if (a.kind == "key") {
            EXPECT_TRUE(std::apply(RegKeyThere, RegistryKey(a.target))) << what;
        } else if (a.kind == "value") {
            const auto [rootKey, path] = RegistryKey(a.target);
            EXPECT_EQ(RegText(rootKey, path, a.name), a.value) << what;
        } else if (a.kind == "number") {
            const auto [rootKey, path] = RegistryKey(a.target);
            DWORD number = 0, size = sizeof number;
            RegGetValueA(rootKey, path.c_str(), a.name.c_str(), RRF_RT_REG_DWORD, nullptr, &number, &size);
            EXPECT_EQ(std::to_string(number), a.value) << what;
        } else if (a.kind == "filetype") {
            EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, a.target, ""), a.value) << what;
        } else if (a.kind == "shortcut-folder") {
            EXPECT_TRUE(std::filesystem::is_directory(ProgramsFolder() + a.target)) << what;
        } else if (a.kind == "shortcut") {
            EXPECT_TRUE(IsFile(ProgramsFolder() + a.target + "\\" + a.name + ".lnk")) << what;
        } else if (a.kind == "record" && a.note.rfind("until", 0) == 0) {
            continue; // replaced by a later record of the same key
        } else if (a.kind == "record") {
            const bool install = a.target.rfind("[install] ", 0) == 0;
            const auto lines = install ? SectionLines(InstalledScript(), "install") : recorded;
            const std::string line = a.target.substr(install ? 10 : 12) + "=" + a.value;
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << what;
            records += !install;
        } else {
            ADD_FAILURE() << "unexpected action " << what;
        }
    }
    EXPECT_EQ(records, recorded.size()); // every [uninstall] line was planned
    EXPECT_EQ(kinds.size(), 15u);        // every kind but component occurs in the sample
    Uninstall(true);
}
