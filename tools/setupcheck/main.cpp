// setupcheck: checks a setup script as setup.exe reads it, and shows what an
// installation would do.
//
//   setupcheck [--plan|--uninstall-plan DESTDIR [--json [--codepage N]]] [PATH]
//
// PATH is the script or the distribution folder that holds setup.ini (default: setup.ini
// in the current folder). The findings are printed as "setup.ini:LINE: error|warning:
// message [rule]"; with --plan they go to the error output and the plan of an
// installation into DESTDIR (or of its uninstall afterwards) to the standard output; both
// are the program's own install passes and uninstaller run on a simulated computer that
// starts clean and changes nothing on this one. --json writes it as JSON in UTF-8,
// converted from the script's ANSI code page (1252 unless --codepage says otherwise).
// Exit code: 0 clean, 1 warnings only,
// 2 errors (3: wrong command line).
#include <cstdio>
#include <filesystem>
#include <string>

#include "code_page.h"
#include "findings.h"
#include "plan.h"
#include "printers.h"
#include "script/macros.h"

namespace {

#ifdef _WIN32
constexpr const char* kCodePageHint = "Windows has no such code page";
#else
constexpr const char* kCodePageHint =
    "this setupcheck converts 1252 (Western), 28591 (ISO 8859-1) and 65001 (UTF-8); setupcheck.exe on "
    "Windows converts every code page that Windows has";
#endif

int Usage() {
    std::fprintf(stderr,
                 "usage: setupcheck [--plan|--uninstall-plan DESTDIR [--json [--codepage N]]] [PATH]\n"
                 "  PATH: the setup script, or the distribution folder that holds setup.ini\n");
    return 3;
}

// The folder of the script as setup.exe holds it: a full path with its trailing separator.
std::string FolderOf(const std::string& script) {
    const size_t slash = script.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : script.substr(0, slash + 1);
    std::error_code error;
    std::string full = std::filesystem::absolute(folder, error).lexically_normal().string();
    if (full.empty()) return folder;
    if (full.back() != '/' && full.back() != '\\') full += std::filesystem::path::preferred_separator;
    return full;
}

} // namespace

int main(int argc, char** argv) {
    std::string path = "setup.ini", dest;
    bool plan = false, uninstall = false, json = false, pathGiven = false, codePageGiven = false;
    int codePage = kWesternCodePage;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--plan" || arg == "--uninstall-plan") && i + 1 < argc && !plan) {
            plan = true;
            uninstall = arg == "--uninstall-plan";
            dest = AddTrailingBackslash(argv[++i]);
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--codepage" && i + 1 < argc) {
            const std::string number = argv[++i];
            if (number.empty() || number.size() > 5 ||
                number.find_first_not_of("0123456789") != std::string::npos)
                return Usage();
            codePage = std::stoi(number);
            codePageGiven = true;
        } else if (arg.rfind("--", 0) == 0 || pathGiven) {
            return Usage();
        } else {
            path = arg;
            pathGiven = true;
        }
    }
    if ((json && !plan) || (codePageGiven && !json)) return Usage();
    if (!CodePageSupported(codePage)) {
        std::fprintf(stderr, "setupcheck: cannot convert from code page %d: %s\n", codePage, kCodePageHint);
        return 3;
    }
#ifndef _WIN32
    // Typed in UTF-8; the JSON is converted from the script's code page, the folder with it.
    if (json) dest = Utf8ToAnsi(dest, codePage);
#endif
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        const char last = path.empty() ? '/' : path.back();
        path += (last == '/' || last == '\\')
                    ? "setup.ini"
                    : (path.find('\\') != std::string::npos ? "\\setup.ini" : "/setup.ini");
    }
    const std::vector<Finding> findings = CheckScript(path);
    std::fputs(FindingsText(findings, path).c_str(), plan ? stderr : stdout);
    if (plan) {
        const std::vector<PlanAction> actions = uninstall ? BuildUninstallPlan(path, FolderOf(path), dest)
                                                          : BuildPlan(path, FolderOf(path), dest);
        const std::string heading = (uninstall ? "Uninstall from " : "Installation into ") + dest;
        std::fputs((json ? PlanJson(actions, dest, codePage, uninstall) : PlanText(actions, heading)).c_str(),
                   stdout);
    }
    return ExitCode(findings);
}
