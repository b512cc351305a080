#include "plan.h"

#include "engine/install_passes.h"
#include "engine/session.h"
#include "engine/setup_log.h"
#include "engine/simulated/simulated_computer.h"
#include "script/profile_file.h"
#include "script/text.h"
#include "uninstall/uninstaller.h"

#ifdef _WIN32
#include "system/folders.h"
#include "system/windows_computer.h"
#endif

namespace {

// The simulated computer of a plan: it reads the distribution (and, on Windows, whatever
// else it lacks) from the real computer and writes only into memory.
// What every Windows has and the installation writes into without making it first: the
// key that lists the fonts, and elsewhere than on Windows the folder of the programs.
struct PlanComputer {
#ifdef _WIN32
    WindowsComputer real;
    SimulatedComputer computer{SimulatedOptions{true, &real, &SystemFolderSource()}};
#else
    SimulatedComputer computer{SimulatedOptions{true, nullptr, nullptr}};
#endif
    PlanComputer() {
        computer.CreateKey(RegHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts");
#ifndef _WIN32
        computer.AddFolder("C:\\Program Files");
        computer.AddFolder("%windows%\\Fonts");
#endif
    }
};

bool IsInstalledScript(const std::string& path, const std::string& destDir) {
    return EqualsNoCase(path, destDir + "Setup\\setup.ini");
}

// The journal's entries from `from` on as plan actions. What shows nothing of its own
// stays out: the announcement of new fonts, the read-only mark taken off a copy that has
// none, and the empty file by which a new file's short name is learnt, made and deleted
// again.
void AddJournal(std::vector<PlanAction>& plan, const std::vector<JournalEntry>& journal, size_t from,
                const std::string& destDir) {
    std::string placeholder;
    for (size_t i = from; i < journal.size(); ++i) {
        JournalEntry e = journal[i];
        // The classes' keys under the name by which scripts and the registry editor know them.
        static const std::string classes = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
        if (e.target.size() > classes.size() && EqualsNoCase(e.target.substr(0, classes.size()), classes))
            e.target = "HKEY_CLASSES_ROOT\\" + e.target.substr(classes.size());
        if (e.kind == "placeholder") placeholder = e.target;
        if (e.kind == "delete" && !placeholder.empty() && e.target == placeholder) {
            placeholder.clear();
            continue;
        }
        if (e.kind == "font-change" || e.kind == "placeholder" || e.kind == "clear-read-only") continue;
        if (e.kind == "copy" || e.kind == "replace" || e.kind == "new-file" || e.kind == "rename") {
            plan.push_back({e.kind == "new-file" ? "file"
                            : e.kind == "rename" ? "rename"
                                                 : "copy",
                            e.target,
                            {},
                            e.name,
                            {}});
        } else if (e.kind == "version-install") {
            // The version installer's result bits, as the setup log shows them.
            const unsigned long result = std::strtoul(e.value.c_str(), nullptr, 16);
            plan.push_back({"file",
                            e.target,
                            {},
                            e.name,
                            result == 0 ? "by the version installer"
                            : (result & VersionResult::SourceIsOlder)
                                ? "kept: the file on the computer is newer"
                                : "the version installer failed (&H" + e.value + ")"});
        } else if (e.kind == "script-write") {
            plan.push_back(
                {"record", e.name, {}, e.value, IsInstalledScript(e.target, destDir) ? "" : e.target});
        } else if (e.kind == "font") {
            plan.push_back({"font", e.target, {}, {}, e.value == "added" ? "" : "refused by the system"});
        } else if (e.kind == "shortcut") {
            plan.push_back({"shortcut", e.target, e.name, e.value, {}});
        } else {
            plan.push_back({e.kind, e.target, e.name, e.value, {}});
        }
    }
}

// What a planned run did, in order: the simulated computer's journal and what the user saw.
// Every question is answered Yes (or OK), as by a user who goes on.
// A step that failed is an action of its own, from the run's log.
class PlanRecorder final : public SetupUi, public SetupLog {
  public:
    PlanRecorder(SimulatedComputer& pc, std::string destDir) : pc_(pc), destDir_(std::move(destDir)) {}
    // Forgets what was done so far: the plan starts here.
    void StartHere() {
        plan_.clear();
        flushed_ = pc_.Journal().size();
    }
    std::vector<PlanAction> Plan() {
        Flush();
        return std::move(plan_);
    }

    Answer Ask(const std::string& text, Question question, const std::string& title) override {
        Flush();
        plan_.push_back({"message", title, {}, text, {}});
        return question.choices == Choices::Ok ? Answer::Ok : Answer::Yes;
    }
    void ShowProgress(int, int, const std::string&) override {}
    bool StartProgram(const std::string& commandLine) override {
        Flush();
        plan_.push_back({"start", commandLine, {}, {}, {}});
        return true;
    }

    void Write(std::string_view line) override {
        if (line.rfind("failed: ", 0) != 0) return;
        Flush();
        plan_.push_back({"failed", std::string(line.substr(8)), {}, {}, {}});
    }

  private:
    void Flush() {
        AddJournal(plan_, pc_.Journal(), flushed_, destDir_);
        flushed_ = pc_.Journal().size();
    }

    SimulatedComputer& pc_;
    std::string destDir_;
    std::vector<PlanAction> plan_;
    size_t flushed_ = 0;
};

// Runs the installation on a simulated computer, and then its uninstall when `uninstall` is
// set; returns what the run that is planned did.
std::vector<PlanAction> Run(const std::string& scriptPath, const std::string& sourceDir,
                            const std::string& destDir, bool uninstall) {
    PlanComputer planComputer;
    SimulatedComputer& pc = planComputer.computer;
    // The script may have another name than setup.ini: the program finds it as setup.ini
    // beside itself.
    if (std::string bytes; ReadWholeFile(scriptPath, bytes)) pc.AddFile(sourceDir + "setup.ini", bytes);
    PlanRecorder recorder(pc, destDir);
    recorder.StartHere();

    SetupSession s;
    s.computer = &pc;
    s.sourceDir = sourceDir;
    s.destDir = destDir;
    s.log = &recorder;
    if (RunInstallPassOne(s, recorder) == PassOneOutcome::Completed) RunInstallPassTwo(s, recorder);
    if (!uninstall) return recorder.Plan();

    // The uninstall command of the list of installed programs: the Setup folder's program,
    // which asks first and at the end opens the folder that is left.
    recorder.StartHere();
    SetupSession u;
    u.computer = &pc;
    u.sourceDir = destDir + "Setup\\";
    u.log = &recorder;
    RunUninstall(u, recorder);
    return recorder.Plan();
}

} // namespace

std::vector<PlanAction> BuildPlan(const std::string& scriptPath, const std::string& sourceDir,
                                  const std::string& destDir) {
    return Run(scriptPath, sourceDir, destDir, false);
}

std::vector<PlanAction> BuildUninstallPlan(const std::string& scriptPath, const std::string& sourceDir,
                                           const std::string& destDir) {
    return Run(scriptPath, sourceDir, destDir, true);
}
