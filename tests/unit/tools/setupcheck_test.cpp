// setupcheck: each rule on a script that has its fault and on one that does not, the
// message format and exit codes, and the plan of a small script.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "code_page.h"
#include "findings.h"
#include "plan.h"
#include "printers.h"

namespace {

namespace fs = std::filesystem;

// Writes the script (below an [install] line) and the named distribution files into a
// folder of their own, and returns the script's path.
std::string Distribution(const std::string& body, const std::vector<std::string>& files = {}) {
    static int number = 0;
    const fs::path folder = fs::temp_directory_path() / ("setupcheck_test_" + std::to_string(getpid())) /
                            std::to_string(++number);
    fs::create_directories(folder);
    std::ofstream(folder / "setup.ini") << "[install]\n" << body;
    for (const std::string& file : files) std::ofstream(folder / file) << "x";
    return (folder / "setup.ini").string();
}

std::vector<std::string> Rules(const std::string& body, const std::vector<std::string>& files = {}) {
    std::vector<std::string> rules;
    for (const Finding& f : CheckScript(Distribution(body, files))) rules.push_back(f.rule);
    return rules;
}

std::string Messages(const std::string& body) {
    std::string text;
    for (const Finding& f : CheckScript(Distribution(body))) text += f.message + "\n";
    return text;
}

std::string ManyFiles(int count) {
    std::string body = "EstablishSetup=1\nTotalFiles=" + std::to_string(count) + "\n";
    for (int n = 1; n <= count; ++n)
        body += "srcfile" + std::to_string(n) + "=a\ndestfile" + std::to_string(n) + "=a\n";
    return body;
}

struct RuleCase {
    const char* rule;
    std::string faulty, sound;
    std::string files; // the distribution's files, separated by blanks
};

const std::string kFileType = "TotalRegExts=1\nRegExt1=.a\nRegExt1key=A.File\n";
const std::string kOneFile = "TotalFiles=1\nsrcfile1=a.dll\ndestfile1=a.dll\n";
const std::string kOneOcx = "TotalOcxs=1\nOcxSrc1=a.ocx\nOcxDest1=%system%a.ocx\n";

TEST(SetupcheckRules, EachRuleFindsItsFaultAndOnlyThere) {
    const std::vector<RuleCase> cases = {
        {"unknown-key", "srcfile3NoOverwite=1\n", "srcfile3NoOverwrite=1\n"},
        {"wrong-section", "DestPath=C:\\x\\\n", "[uninstall]\nDestPath=C:\\x\\\n"},
        {"unread-section", "ProductName=A\n[install]\nTotalFiles=1\n", "ProductName=A\n"},
        {"duplicate-key", "ProductName=A\nProductName=B\n", "ProductName=A\n"},
        {"item-above-count", "PrelimMessagesTotal=1\nPrelimMessage1=a\nPrelimMessage2=b\n",
         "PrelimMessagesTotal=2\nPrelimMessage1=a\nPrelimMessage2=b\n"},
        {"item-missing", "PrelimMessagesTotal=2\nPrelimMessage1=a\n",
         "PrelimMessagesTotal=2\nPrelimMessage1=a\nPrelimMessage2=b\n"},
        {"count-not-number", "LastMessagesTotal=two\n", "LastMessagesTotal=0\n"},
        {"flag-word", "ComponentsSearch=yes\n", "ComponentsSearch=1\n"},
        {"default-dir", "DefaultDir=C:\\Apps\\Acme\n", "DefaultDir=C:\\Apps\\Acme\\\n"},
        {"unknown-macro", "DefaultDir=%progfiles%Acme\\\n", "DefaultDir=%programfiles%Acme\\\n"},
        {"absolute-path", "KillFilesTotal=1\nKillFile1=C:\\old.dll\n",
         "KillFilesTotal=1\nKillFile1=%system%old.dll\n"},
        {"registry-root", "TotalRegKeys=1\nRegKeyRoot1=HKEY_CURRENT_USER\nRegKeySubKey1=Software\\A\n",
         "TotalRegKeys=1\nRegKeyRoot1=&H80000001\nRegKeySubKey1=Software\\A\n"},
        {"verb-without-command", kFileType + "RegExt1Commands=open|%default%a.exe\" \"%1\"|print\n",
         kFileType + "RegExt1Commands=open|%default%a.exe\" \"%1\"\n"},
        {"command-without-macro", kFileType + "RegExt1Commands=open|a.exe\" \"%1\"\n",
         kFileType + "RegExt1Commands=open|%default%a.exe\" \"%1\"\n"},
        {"file-type-empty", "TotalRegExts=1\nRegExt1=.a\n", kFileType},
        {"product-name", "EstablishSetup=1\nProductName= \n", "EstablishSetup=1\nProductName=Acme\n",
         "setup.exe STKIT432.DLL"},
        {"too-many-records", ManyFiles(256), ManyFiles(255), "a setup.exe STKIT432.DLL"},
        // The faulty script is checked without the files, the sound one with them.
        {"missing-source", kOneFile, kOneFile, "A.DLL"},
        {"missing-program", kOneOcx, kOneOcx, "a.ocx regsvr32.exe"},
        {"unquoted-uninstall", "EstablishSetup=1\nDefaultDir=%programfiles%Acme\\\n",
         "EstablishSetup=1\nDefaultDir=C:\\Acme\\\n"},
        {"shared-folder", "EstablishSetup=1\nTotalFiles=1\nsrcfile1=a.dll\ndestfile1=%system%a.dll\n",
         "EstablishSetup=1\nTotalFiles=1\nsrcfile1=a.dll\ndestfile1=%system%a.dll\nsrcfile1NoUninstall=1\n"},
        {"installed-mark", "InstallState=installed\n", "InstallState=\n"},
        {"wildcard-destination", "TotalFiles=1\nsrcfile1=a.dll\ndestfile1=old\\a?.dll\n",
         "TotalFiles=2\nsrcfile1=\ndestfile1=*.dll\nsrcfile2=a.dll\ndestfile2=a*\\a.dll\n"},
    };
    for (const RuleCase& c : cases) {
        std::vector<std::string> files;
        std::istringstream names(c.files);
        for (std::string name; names >> name;) files.push_back(name);
        const bool filesMatter = std::string(c.rule).rfind("missing-", 0) == 0;
        const auto faulty = Rules(c.faulty, filesMatter ? std::vector<std::string>{} : files);
        const auto sound = Rules(c.sound, files);
        EXPECT_NE(std::find(faulty.begin(), faulty.end(), c.rule), faulty.end()) << c.rule;
        EXPECT_EQ(std::find(sound.begin(), sound.end(), c.rule), sound.end()) << c.rule;
    }
}

TEST(SetupcheckOutput, MessagesLinesSeverityAndExitCode) {
    EXPECT_EQ(Messages("TotalOcxs=2.5\n"), "TotalOcxs=2.5 is not a whole number: it reads as 2\n"
                                           "TotalOcxs=2 but OcxSrc1 is missing: it reads as empty\n"
                                           "TotalOcxs=2 but OcxSrc2 is missing: it reads as empty\n"
                                           "TotalOcxs=2 but OcxDest1 is missing: it reads as empty\n"
                                           "TotalOcxs=2 but OcxDest2 is missing: it reads as empty\n"
                                           "regsvr32.exe is not in the distribution folder: it registers the "
                                           "components\n");
    EXPECT_EQ(
        Messages("KillRegKeysTotal=1\nKillRegKey1Root=2147483650\nKillRegKey1Folder=Software\\A\n"),
        "KillRegKey1Root=2147483650 is the unsigned form, which does not fit the signed number of a root: "
        "write &H80000002 or -2147483646\n");
    EXPECT_EQ(
        Messages("ProductName=Acme\\\\Tools\n"),
        "ProductName=Acme\\\\Tools holds a backslash: it names a registry key path, not one key of its own, "
        "and the uninstaller deletes the wrong keys\n");
    const std::string warned = Distribution("ProductName=Acme\n\nDisplayLicence=1\n");
    const auto findings = CheckScript(warned);
    EXPECT_EQ(FindingsText(findings, "setup.ini"),
              "setup.ini:4: warning: unknown key DisplayLicence is never read (did you mean DisplayLicense?) "
              "[unknown-key]\n");
    EXPECT_EQ(ExitCode(findings), 1);
    EXPECT_EQ(ExitCode(CheckScript(Distribution("ProductName=Acme\n"))), 0);
    EXPECT_EQ(ExitCode(CheckScript(Distribution("InstallState=installed\n"))), 2);
    EXPECT_EQ(ExitCode(CheckScript(Distribution("") + ".none")), 2);
}

// The plan is the program's own run on a simulated computer: what it did, in its order, with
// the distribution's files read from the disk and a failure where one is missing.
TEST(SetupcheckPlan, TheInstallationAndItsUninstallAsTheyRun) {
    const std::string script =
        Distribution("EstablishSetup=1\nProductName=Acme\nTotalFiles=2\n"
                     "srcfile1=a.exe\ndestfile1=bin\\a.exe\n"
                     "srcfile2=b.dll\ndestfile2=%system%b.dll\nsrcfile2NoUninstall=1\n"
                     "TotalRegKeys=1\nRegKeyRoot1=-2147483647\nRegKeySubKey1=Software\\Acme\n"
                     "RegKeyValue1=bin\\\nRegKeyValueIsPath1=1\nRegKeyUninstall1=Software\\Acme\n"
                     "TotalShortcuts=1\nShortcut1=bin\\a.exe\nShortcut1Desc=Acme\n",
                     {"a.exe", "setup.exe", "STKIT432.DLL"});
    const std::string d = fs::path(script).parent_path().string() + "/";
    std::string text;
    for (const PlanAction& a : BuildPlan(script, d, "C:\\Acme\\"))
        text += a.kind + "|" + a.target + "|" + a.name + "|" + a.value + "|" + a.note + "\n";
    const std::string setupFiles = "copy|C:\\Acme\\Setup\\setup.exe||" + d + "setup.exe|\n" +
                                   "copy|C:\\Acme\\Setup\\stkit432.dll||" + d + "stkit432.dll|\n";
    EXPECT_EQ(
        text.substr(0, text.find("key|HKEY_CURRENT_USER")),
        "folder|C:\\Acme|||\nfolder|C:\\Acme\\Setup|||\ncopy|C:\\Acme\\Setup\\setup.ini||" + d +
            "setup.ini|\nrecord|[uninstall] destpath||c:\\acme\\|\n" + setupFiles +
            "record|[uninstall] uninstallfilestotal||2|\nfolder|C:\\Acme\\bin|||\n"
            "record|[uninstall] file1||c:\\acme\\bin\\a.exe|\nfile|C:\\Acme\\bin\\a.exe||" +
            d +
            "a.exe|\n"
            // b.dll is missing: the version installer fails, and the user is told.
            "file|%system%\\b.dll||" +
            d +
            "|the version installer failed (&H10000)\n"
            "failed|copy " +
            d +
            "b.dll to %system%\\b.dll (version installer result &H10000): system error 2|||\n"
            "message|KavexInstall Setup||The file %system%\\b.dll\r\ncould not be copied. Make sure that "
            "this "
            "file is not currently in use by Windows and that there is sufficient room on the destination "
            "drive.\r\n\r\nFile Copy Error: &H10000|\n"
            "record|[uninstall] uninstallfilestotal||1|\n" +
            setupFiles);
    for (const char* line :
         {"value|HKEY_CURRENT_USER\\Software\\Acme||C:\\Acme\\bin\\|\n",
          "shortcut||Acme|C:\\Acme\\bin\\a.exe|\n", "record|[uninstall] shortcutfolder1|||\n",
          "number|HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
          "Acme|NoRepair|1|\nrecord|[install] installstate||installed|\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << text;

    std::string uninstall;
    for (const PlanAction& a : BuildUninstallPlan(script, d, "C:\\Acme\\"))
        uninstall += a.kind + " " + a.target + "\n";
    EXPECT_EQ(uninstall,
              "message \ndelete c:\\acme\\bin\\a.exe\ndelete-key HKEY_CURRENT_USER\\Software\\Acme\n"
              "remove-shortcut \n"
              "delete-key HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme\n"
              "delete-key HKEY_LOCAL_MACHINE\\SOFTWARE\\Kavex Software\\Acme\n"
              "record [install] installstate\nmessage \nstart %windows%\\EXPLORER.EXE /n,/e,c:\\acme\\\n");
}

TEST(SetupcheckPlan, TextAndJson) {
    const std::string script = Distribution("TotalFiles=1\nsrcfile1=a\"b.txt\ndestfile1=%Desktop%a.txt\n"
                                            "srcfile1NoOverwrite=1\n",
                                            {"a\"b.txt"});
    const std::string d = fs::path(script).parent_path().string() + "/";
    const auto plan = BuildPlan(script, d, "C:\\Acme\\");
    EXPECT_EQ(PlanText(plan, "Installation into C:\\Acme\\"), "Installation into C:\\Acme\\\n"
                                                              "   1  folder          C:\\Acme\n"
                                                              "   2  file            %Desktop%\\a.txt  <- " +
                                                                  d + "a\"b.txt\n");
    // Every field of the JSON is read back by the tools of authors; the escapes are checked here.
    EXPECT_NE(PlanJson(plan, "C:\\Acme\\")
                  .find("\n  {\"kind\": \"file\", \"target\": \"%Desktop%\\\\a.txt\", \"name\": \"\", "
                        "\"value\": \"" +
                        d + "a\\\"b.txt\", \"note\": \"\"}\n ]}\n"),
              std::string::npos);
}

// The JSON is UTF-8 whatever the script's code page: Windows-1252 by default.
TEST(SetupcheckPlan, JsonInUtf8FromTheScriptsCodePage) {
    const std::string script =
        Distribution("TotalFiles=1\nsrcfile1=\x80.txt\ndestfile1=Soci\xe9t\xe9\x81.txt\n", {"\x80.txt"});
    const std::string d = fs::path(script).parent_path().string() + "/";
    const std::string json = PlanJson(BuildPlan(script, d, "C:\\\x8c\\"), "C:\\\x8c\\");
    EXPECT_NE(json.find("{\"run\": \"install\", \"destination\": \"C:\\\\\xc5\x92\\\\\",\n"),
              std::string::npos)
        << json;
    EXPECT_NE(
        json.find("\"target\": \"C:\\\\\xc5\x92\\\\Soci\xc3\xa9t\xc3\xa9\xc2\x81.txt\", \"name\": \"\", "
                  "\"value\": \"" +
                  d + "\xe2\x82\xac.txt\""),
        std::string::npos)
        << json;
    EXPECT_EQ(AnsiToUtf8("\x80\x9f\xa0\xff", 1252), "\xe2\x82\xac\xc5\xb8\xc2\xa0\xc3\xbf");
    EXPECT_EQ(AnsiToUtf8("\x80\xe9", 28591), "\xc2\x80\xc3\xa9");
    // UTF-8 stays, a byte that is not UTF-8 (a stray, overlong or surrogate form) is U+FFFD.
    EXPECT_EQ(AnsiToUtf8("\xc3\xa9\xe9|\xc0\xaf|\xed\xa0\x80|\xf0\x9f\x98\x80", 65001),
              "\xc3\xa9\xef\xbf\xbd|\xef\xbf\xbd\xef\xbf\xbd|\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd|"
              "\xf0\x9f\x98\x80");
    EXPECT_EQ(Utf8ToAnsi("C:\\Soci\xc3\xa9t\xc3\xa9 \xe2\x82\xac\xd0\x96\xc2\x81", 1252),
              "C:\\Soci\xe9t\xe9 \x80?\x81");
    EXPECT_FALSE(CodePageSupported(1251)); // natively; setupcheck.exe has the system's code pages
}

} // namespace
