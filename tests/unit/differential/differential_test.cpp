// The same scripts through the real computer and the simulated one: what each leaves must be
// the same, after the installation and again after its uninstall. Compared are the files and
// folders under the case's folder (with their bytes and read-only marks, so the installed
// script too), every registry key and value, the shortcuts, and what the user was shown.
// Every rule of the real computer that the simulation gets wrong fails here; the plan of
// setupcheck is the simulated run.
#include "engine_support.h"

#include <map>
#include <set>

#include "engine/simulated/simulated_computer.h"
#include "script/text.h"

using namespace kvtest;

namespace {

// The version installer names its temporary copies in its own way (VER1A2B.tmp).
std::string Comparable(std::string path) {
    const size_t slash = path.find_last_of('\\') + 1;
    const std::string name = Lower(path.substr(slash));
    if (name.rfind("ver", 0) == 0 && name.size() > 7 && name.substr(name.size() - 4) == ".tmp")
        path.replace(slash, std::string::npos, "VER*.tmp");
    return path;
}

// Keys without subkeys (the others follow from them) and every value, one line each; a
// class key is named under HKEY_CLASSES_ROOT wherever the computer keeps it. What the system
// writes there itself while the program runs (the shell's folders) is left out.
std::set<std::string> RegistryLines(const std::vector<std::string>& dump) {
    static const std::pair<std::string, std::string> views[] = {
        {"hkey_local_machine\\software\\classes", "HKEY_CLASSES_ROOT"},
        {"hkey_current_user\\software\\classes", "HKEY_CLASSES_ROOT"}};
    static const char* systems[] = {"\\explorer", "\\windows nt"};
    std::set<std::string> keys, all, lines; // all: with the system's own keys
    std::string key;
    bool system = false;
    for (std::string line : dump) {
        if (line.rfind("  ", 0) == 0) {
            if (!system) lines.insert(key + " [" + line.substr(2));
            continue;
        }
        for (const auto& [machine, shown] : views)
            if (Lower(line).rfind(machine, 0) == 0) line = shown + line.substr(machine.size());
        system = false;
        for (const char* made : systems) system |= Lower(line).find(made) != std::string::npos;
        all.insert(Lower(key = line));
        if (!system && line.find('\\') != std::string::npos) keys.insert(Lower(line));
    }
    for (const std::string& k : keys) {
        const auto below = all.lower_bound(k + "\\");
        if (below == all.end() || below->rfind(k + "\\", 0) != 0) lines.insert(k);
    }
    return lines;
}

// The real registry in the simulation's dump form ("ROOT\key", "  name = text", "  @ = #4").
void DumpKey(HKEY key, const std::string& path, std::vector<std::string>& dump) {
    dump.push_back(path);
    char name[512], data[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize))
            break;
        const std::string shown = type == REG_DWORD ? "#" + std::to_string(*reinterpret_cast<DWORD*>(data))
                                                    : std::string(data, strnlen(data, dataSize));
        dump.push_back("  " + std::string(nameSize ? name : "@") + " = " + shown);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr)) break;
        HKEY child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child)) continue;
        DumpKey(child, path + "\\" + name, dump);
        RegCloseKey(child);
    }
}

template <class Long> std::string LongLastWord(const std::string& command, Long longPath) {
    const size_t blank = command.find_last_of(' ') + 1;
    return command.substr(0, blank) + longPath(command.substr(blank));
}

class Differential : public Installation {
  protected:
    SimulatedComputer sim{SimulatedOptions{false, nullptr, &SystemFolderSource()}};
    SetupSession simSession;
    std::vector<std::string> simShown, simStarted;

    // The recorder of the simulated run, which the session's SetupUi stands in for.
    struct SimUi final : SetupUi {
        Differential& d;
        explicit SimUi(Differential& owner) : d(owner) {}
        Answer Ask(const std::string& text, Question question, const std::string&) override {
            d.simShown.push_back(Said(text, question));
            return d.answer;
        }
        void ShowProgress(int, int, const std::string&) override {}
        bool StartProgram(const std::string& commandLine) override {
            return d.simStarted.push_back(commandLine), true;
        }
    } simUi{*this};

    static std::string Said(const std::string& text, Question question) {
        return std::to_string(int(question.kind)) + " " + text;
    }

    // The case's folder as it stands on the disk, and the registry, copied into the simulation.
    void Mirror(const std::vector<std::tuple<HKEY, std::string, std::string, std::string>>& values = {}) {
        sim.AddFolder(root);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string path = entry.path().string();
            if (entry.is_directory())
                sim.AddFolder(path);
            else
                sim.AddFile(path, ReadText(path), {},
                            GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
        }
        sim.CreateKey(RegHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts");
        static const std::map<HKEY, RegRoot> roots = {{HKEY_CLASSES_ROOT, RegHKeyClassesRoot},
                                                      {HKEY_LOCAL_MACHINE, RegHKeyLocalMachine},
                                                      {HKEY_CURRENT_USER, RegHKeyCurrentUser}};
        for (const auto& [hkey, key, name, value] : values) {
            RegPut(hkey, key, name, value);
            sim.CreateKey(roots.at(hkey), key);
            sim.SetValue(roots.at(hkey), key, name, value, 1);
        }
        simSession.computer = &sim;
        simSession.sourceDir = dist;
        simSession.destDir = dest;
    }

    void InstallBoth() {
        if (RunInstallPassOne(simSession, simUi) == PassOneOutcome::Completed)
            RunInstallPassTwo(simSession, simUi);
        Install();
        Compare("installation");
    }

    void UninstallBoth() {
        SetupSession u;
        u.computer = &sim;
        u.sourceDir = dest + "Setup\\";
        u.quiet = true;
        u.destDir = u.ReadIni("destpath", "uninstall");
        RunUninstall(u, simUi);
        Uninstall(true);
        Compare("uninstall");
    }

  private:
    // What each computer holds: path -> bytes (a folder ends in a backslash; "(read-only)"
    // follows the bytes of a read-only file), shortcuts as "link folder|name".
    std::map<std::string, std::string> RealFiles() {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string path = Lower(Comparable(entry.path().string()));
            if (entry.is_directory())
                files[path + "\\"];
            else
                files[path] = ReadText(entry.path().string()) +
                              (GetFileAttributesA(entry.path().string().c_str()) & FILE_ATTRIBUTE_READONLY
                                   ? "(read-only)"
                                   : "");
        }
        const std::string programs = ProgramsFolder();
        std::error_code none;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(programs + "KvDiff", none))
            if (entry.path().extension() == ".lnk") {
                const std::string relative = entry.path().string().substr(programs.size());
                const size_t slash = relative.find_last_of('\\');
                files["link " + Lower(relative.substr(0, slash)) + "|" +
                      Lower(relative.substr(slash + 1, relative.size() - slash - 5))];
            }
        return files;
    }
    std::map<std::string, std::string> SimulatedFiles() {
        std::map<std::string, std::string> files;
        const std::string under = Lower(root);
        for (const std::string& folder : sim.AllFolders())
            if (Lower(folder + "\\").rfind(under, 0) == 0 && Lower(folder + "\\") != under)
                files[Lower(folder) + "\\"];
        for (const std::string& file : sim.Files()) {
            if (file.find('|') != std::string::npos) {
                files["link " + Lower(file)];
            } else if (Lower(file).rfind(under, 0) == 0) {
                files[Lower(Comparable(file))] =
                    sim.FileBytes(file).value_or("?") + (sim.IsReadOnly(file) ? "(read-only)" : "");
            }
        }
        return files;
    }

    void Compare(const char* when) {
        SCOPED_TRACE(when);
        const auto real = RealFiles(), simulated = SimulatedFiles();
        for (const auto& [path, bytes] : real) {
            const auto it = simulated.find(path);
            if (it == simulated.end())
                ADD_FAILURE() << "only on the real computer: " << path;
            else if (it->second != bytes)
                ADD_FAILURE() << "not the same: " << path << "\nreal:\n"
                              << bytes << "\nsimulated:\n"
                              << it->second;
        }
        for (const auto& [path, bytes] : simulated)
            if (!real.count(path)) ADD_FAILURE() << "only on the simulated computer: " << path;

        std::vector<std::string> dump;
        DumpKey(HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", dump);
        DumpKey(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", dump);
        DumpKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", dump);
        const std::set<std::string> realKeys = RegistryLines(dump),
                                    simKeys = RegistryLines(sim.RegistryDump());
        for (const std::string& line : realKeys)
            if (!simKeys.count(line)) ADD_FAILURE() << "only in the real registry: " << line;
        for (const std::string& line : simKeys)
            if (!realKeys.count(line)) ADD_FAILURE() << "only in the simulated registry: " << line;

        std::vector<std::string> realShown;
        for (const Shown& s : shown) realShown.push_back(Said(s.text, s.question));
        EXPECT_EQ(realShown, simShown);
        // A component is registered by its short path, which each computer forms in its own way
        // (Wine by a hash of the name, Windows by a number): compared by the long path it names.
        std::vector<std::string> realStarted, simulatedStarted;
        for (const std::string& command : started)
            realStarted.push_back(LongLastWord(command, [](const std::string& path) {
                char buffer[MAX_PATH] = {};
                return GetLongPathNameA(path.c_str(), buffer, MAX_PATH) ? std::string(buffer) : path;
            }));
        for (const std::string& command : simStarted)
            simulatedStarted.push_back(LongLastWord(command, [&](const std::string& path) {
                for (const std::string& file : sim.Files())
                    if (EqualsNoCase(sim.ShortPath(file), path)) return file;
                return path;
            }));
        EXPECT_EQ(realStarted, simulatedStarted);
    }
};

const std::string Product =
    "[install]\nProductName=KvDiff Tools\nSetupTitle=KvDiff Setup\nEstablishSetup=1\n";

} // namespace

// Every kind of item, over an earlier version's files and keys, beside another product.
TEST_F(Differential, AProductWithEveryKindOfItem) {
    Prepare(
        "diff-full",
        Product +
            "KillFilesTotal=2\nKillFile1=old*.dll\nKillFile2=%default%obsolete.txt\n"
            "KillRegKeysTotal=1\nKillRegKey1Root=&H80000001\nKillRegKey1Folder=Software\\KvDiff\\Old\n"
            "MoveFilesTotal=2\nMoveFile1=notes.txt\nMoveFile1To=docs\\notes.txt\n"
            "MoveFile2=absent.txt\nMoveFile2To=docs\\absent.txt\n"
            "TotalFiles=8\nsrcfile1=readme.txt\ndestfile1=readme.txt\n"
            "srcfile2=guide.txt\ndestfile2=docs\\deep\\guide.txt\nsrcfile3=\ndestfile3=never.txt\n"
            "srcfile4=settings.ini\ndestfile4=data\\settings.ini\nsrcfile4NoOverwrite=1\n"
            "srcfile5=tool.txt\ndestfile5=tool.txt\nsrcfile5NoUninstall=1\nsrcfile5Unconditional=1\n"
            "srcfile6=missing.txt\ndestfile6=missing.txt\n"
            "srcfile7=readme.txt\ndestfile7=docs\\*.bak\nSrcFile7NoErrorCheck=1\n"
            "srcfile8=Long File Name.text\ndestfile8=Another Long Name.text\n"
            "TotalOcxs=1\nOcxSrc1=comp.ocx\nOcxDest1=comp.ocx\n"
            "TotalRegKeys=3\nRegKeyRoot1=&H80000001\nRegKeySubKey1=Software\\KvDiff\\Acme\\Settings\n"
            "RegKeyValueName1=Folder\nRegKeyValue1=data\\\nRegKeyValueIsPath1=1\n"
            "RegKeyUninstall1=Software\\KvDiff\\Acme\n"
            "RegKeyRoot2=-2147483646\nRegKeySubKey2=SOFTWARE\\KvDiff\nRegKeyValue2=Plain\n"
            "RegKeyRoot3=&H80000001\nRegKeySubKey3=Software\\KvDiff\\Empty\n"
            "TotalRegExts=2\nRegExt1=.kvdf\nRegExt1key=KvDiff.Doc\nRegExt1Desc=Diff Document\n"
            "RegExt1ShellNew=1\nRegExt1IsShortcut=1\nRegExt1Icon=tool.txt,1\n"
            "RegExt1Commands=open|tool.txt\" \"%1\"|print|tool.txt\" /p \"%1\"\n"
            "RegExt2=.kvdu\nRegExt2key=KvDiff.Other\nRegExt2Desc=Other\nRegExt2Commands=edit|tool.txt|view\n"
            "TotalShortcuts=2\nDefaultShortcutFolder=KvDiff\nShortcut1=readme.txt\nShortcut1Desc=Readme\n"
            "Shortcut2=tool.txt\nShortcut2Desc=Tool\nShortcut2Folder=KvDiff\\Documents\n"
            "ProductVersion=2.1\nProgramAuthor=KvDiff Inc.\nEstimatedSize=3\n");
    for (const char* name :
         {"readme.txt", "guide.txt", "settings.ini", "tool.txt", "comp.ocx", "Long File Name.text"})
        WriteText(dist + name, std::string("shipped ") + name);
    for (const char* name :
         {"oldA.dll", "oldB.dll", "other.dll", "obsolete.txt", "notes.txt", "data\\settings.ini"})
        WriteText(dest + name, name);
    WriteText(dest + "tool.txt", "an older tool");
    SetFileAttributesA((dest + "tool.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    std::filesystem::remove_all(ProgramsFolder() + "KvDiff");
    std::filesystem::create_directories(ProgramsFolder() + "KvDiff");
    Mirror({{HKEY_CURRENT_USER, "Software\\KvDiff\\Old", "x", "1"},
            {HKEY_CURRENT_USER, "Software\\KvDiff\\Keep", "x", "1"},
            {HKEY_CLASSES_ROOT, "KvDiff.Doc\\shell\\oldverb\\command", "", "old"},
            {HKEY_LOCAL_MACHINE, ProductKey + "Other Product", "", "C:\\Other\\"},
            {HKEY_LOCAL_MACHINE, UninstallKey + "Other Product", "DisplayName", "Other Product"}});
    InstallBoth();
    UninstallBoth();
    std::filesystem::remove_all(ProgramsFolder() + "KvDiff");
}

// File types that other programs share or took over, and a product name that names no key.
TEST_F(Differential, WhatOthersOwnStays) {
    Prepare("diff-owners",
            "[install]\nProductName=\\\nEstablishSetup=1\nTotalRegExts=3\n"
            "RegExt1=.kvdt\nRegExt1key=KvDiffA.Doc\nRegExt1Desc=A\nRegExt1ShellNew=1\n"
            "RegExt1Commands=open|a.exe\n"
            "RegExt2=.txt\nRegExt2key=KvDiffText\nRegExt2Desc=Text\nRegExt2ShellNew=1\n"
            "RegExt3=.kvds\nRegExt3key=Shared.Doc\nRegExt3Desc=Shared\nRegExt3Commands=open|s.exe\n");
    Mirror({{HKEY_CLASSES_ROOT, ".txt", "", "txtfile"},
            {HKEY_CLASSES_ROOT, ".txt\\ShellNew", "ItemName", "Text"},
            {HKEY_CLASSES_ROOT, ".txt\\OpenWithProgids", "txtfile", ""},
            {HKEY_CLASSES_ROOT, "Shared.Doc\\shell\\edit\\command", "", "other.exe"},
            {HKEY_CLASSES_ROOT, "Shared.Doc", "Owner", "Other"}});
    InstallBoth();
    sim.SetValue(RegHKeyClassesRoot, ".kvdt", "", "KvDiffB.Doc", 1);
    RegPut(HKEY_CLASSES_ROOT, ".kvdt", "", "KvDiffB.Doc");
    UninstallBoth();
}

// The version installer's decisions: a newer file stays, an older one is replaced, a
// read-only one and one in use are failures; more than 255 recorded files.
TEST_F(Differential, VersionsAndTheRecordLimit) {
    std::string script = Product + "TotalFiles=263\n"
                                   "srcfile1=verfile_v2.dll\ndestfile1=newer.dll\n"
                                   "srcfile2=verfile_v2.dll\ndestfile2=older.dll\n"
                                   "srcfile3=verfile_v3.dll\ndestfile3=protected.dll\n";
    for (int n = 4; n <= 263; ++n) {
        const std::string k = std::to_string(n);
        script += "srcfile" + k + "=f.txt\ndestfile" + k + "=files\\f" + k + ".txt\n";
    }
    Prepare("diff-versions", script);
    for (const char* name : {"verfile_v2.dll", "verfile_v3.dll"})
        std::filesystem::copy_file(BinFolder() + name, dist + name);
    WriteText(dist + "f.txt", "f");
    WriteText(dest + "newer.dll", ReadText(BinFolder() + "verfile_v3.dll"));
    WriteText(dest + "older.dll", ReadText(BinFolder() + "verfile_v1.dll"));
    WriteText(dest + "protected.dll", ReadText(BinFolder() + "verfile_v1.dll"));
    SetFileAttributesA((dest + "protected.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    Mirror();
    InstallBoth();
    UninstallBoth();
    SetFileAttributesA((dest + "protected.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}
