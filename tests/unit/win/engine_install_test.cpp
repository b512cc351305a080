// A whole installation and its removal: a product with every kind of item, checked file
// by file, key by key and line by line in the installed script.
#include <tuple>

#include "engine_support.h"

using namespace kvtest;

namespace {

const std::string FullScript =
    "[install]\nProductName=Acme Tools\nSetupTitle=Acme Tools Setup\nEstablishSetup=1\n"
    "KillFilesTotal=2\nKillFile1=old*.dll\nKillFile2=%default%obsolete.txt\n"
    "KillRegKeysTotal=1\nKillRegKey1Root=&H80000001\nKillRegKey1Folder=Software\\KvEngineTest\\Old\n"
    "MoveFilesTotal=1\nMoveFile1=notes.txt\nMoveFile1To=docs\\notes.txt\n"
    "TotalFiles=6\nsrcfile1=readme.txt\ndestfile1=readme.txt\n"
    "srcfile2=guide.txt\ndestfile2=docs\\guide.txt\n"
    "srcfile3=\ndestfile3=never.txt\n"
    "srcfile4=settings.ini\ndestfile4=data\\settings.ini\nsrcfile4NoOverwrite=1\n"
    "srcfile5=tool.txt\ndestfile5=tool.txt\nsrcfile5NoUninstall=1\n"
    "srcfile6=DejaVuSans.ttf\ndestfile6=fonts\\Test.TTF\nsrcfile6NoUninstall=1\n"
    "DestFileFont6=KvEngineTest Sans (TrueType)\n"
    "TotalOcxs=2\nOcxSrc1=comp.ocx\nOcxDest1=comp.ocx\n"
    "OcxSrc2=missing.ocx\nOcxDest2=missing.ocx\nOcxSrc2NoErrorCheck=1\n"
    "TotalRegKeys=4\nRegKeyRoot1=&H80000001\nRegKeySubKey1=Software\\KvEngineTest\\Acme\\Settings\n"
    "RegKeyValueName1=Folder\nRegKeyValue1=data\\\nRegKeyValueIsPath1=1\n"
    "RegKeyUninstall1=Software\\KvEngineTest\\Acme\n"
    "RegKeyRoot2=-2147483647\nRegKeySubKey2=Software\\KvEngineTest\\Acme\\Settings\nRegKeyValue2=Plain\n"
    "RegKeyRoot3=&H80000001\nRegKeySubKey3=Software\\KvEngineTest\\Acme\\Empty\n"
    "RegKeyValueName3=Nothing\nRegKeyValue3=\n"
    "RegKeyRoot4=&H80000001\nRegKeySubKey4=Software\\KvEngineTest\\Acme\\Literal\n"
    "RegKeyValueName4=Path\nRegKeyValue4=data\\\n"
    "TotalRegExts=2\nRegExt1=.KVT\nRegExt1key=KvEngineTest.Doc\nRegExt1Desc=Acme Document\n"
    "RegExt1ShellNew=1\nRegExt1IsShortcut=1\nRegExt1Icon=tool.txt,1\n"
    "RegExt1Commands=open|%windows%notepad.exe\" \"%1\"|print|%windows%notepad.exe\" /p \"%1\"\n"
    "RegExt2=.kvu\nRegExt2key=KvEngineTest.Other\nRegExt2Desc=Other\nRegExt2Commands=edit|tool.txt|view\n"
    "TotalShortcuts=2\nDefaultShortcutFolder=Acme Tools Test\n"
    "Shortcut1=readme.txt\nShortcut1Desc=Acme Readme\n"
    "Shortcut2=%windows%notepad.exe\nShortcut2Desc=Acme Guide\nShortcut2Folder=Acme Tools Test\\Documents\n";

} // namespace

TEST_F(Installation, InstallsRecordsAndUninstallsAProductBesideAnother) {
    Prepare("full", FullScript);
    for (const char* name : {"readme.txt", "guide.txt", "settings.ini", "tool.txt", "comp.ocx"})
        WriteText(dist + name, std::string("shipped ") + name);
    std::filesystem::copy_file(BinFolder() + "data\\DejaVuSans.ttf", dist + "DejaVuSans.ttf");
    for (const char* name : {"oldA.dll", "oldB.dll", "other.dll", "obsolete.txt", "notes.txt"})
        WriteText(dest + name, name);
    WriteText(dest + "data\\settings.ini", "user=1");
    const std::string links = ProgramsFolder() + "Acme Tools Test\\";
    std::filesystem::remove_all(links);
    RegPut(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Old", "x", "1");
    RegPut(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Keep", "x", "1");
    RegPut(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\shell\\oldverb\\command", "", "old");
    // Another product's entries, which no step may touch.
    RegPut(HKEY_LOCAL_MACHINE, ProductKey + "Other Product", "", "C:\\Other\\");
    RegPut(HKEY_LOCAL_MACHINE, UninstallKey + "Other Product", "DisplayName", "Other Product");

    Install();

    EXPECT_FALSE(InstallationStopped());
    EXPECT_TRUE(shown.empty()) << shown.front().text;
    const std::vector<ProgressEntry> expected{
        {1, 9, "Deleting: " + dest + "old*.dll"},          {2, 9, "Deleting: " + dest + "obsolete.txt"},
        {3, 9, "Moving: " + dest + "docs\\notes.txt"},     {4, 9, "Copying: " + dest + "readme.txt"},
        {5, 9, "Copying: " + dest + "docs\\guide.txt"},    {6, 9, "Copying: " + dest + "never.txt"},
        {6, 9, "Copying: " + dest + "data\\settings.ini"}, {7, 9, "Copying: " + dest + "tool.txt"},
        {8, 9, "Copying: " + dest + "fonts\\Test.TTF"}};
    EXPECT_EQ(progress, expected);

    // Files: kill list, move, copies, the user's settings kept, the font registered.
    for (const char* gone : {"oldA.dll", "oldB.dll", "obsolete.txt", "notes.txt", "never.txt"})
        EXPECT_FALSE(IsFile(dest + gone)) << gone;
    EXPECT_TRUE(IsFile(dest + "other.dll"));
    EXPECT_EQ(ReadText(dest + "docs\\notes.txt"), "notes.txt");
    EXPECT_EQ(ReadText(dest + "docs\\guide.txt"), "shipped guide.txt");
    EXPECT_EQ(ReadText(dest + "data\\settings.ini"), "user=1");
    EXPECT_EQ(ReadText(dest + "comp.ocx"), "shipped comp.ocx");
    EXPECT_EQ(ReadText(dest + "fonts\\Test.TTF"), ReadText(dist + "DejaVuSans.ttf"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts",
                      "KvEngineTest Sans (TrueType)"),
              dest + "fonts\\Test.TTF");
    for (const char* name : {"setup.exe", "stkit432.dll"})
        EXPECT_EQ(ReadText(dest + "Setup\\" + name), ReadText(dist + name)) << name;
    // Only the component on the computer is registered, and not waited for.
    EXPECT_EQ(started, Lines{dist + "regsvr32.exe " + ShortPathOf(dest + "comp.ocx")});

    // Registry entries, file types, shortcuts and the product's keys, key by key.
    const std::string acme = "Software\\KvEngineTest\\Acme\\", doc = "KvEngineTest.Doc";
    const std::string other = "KvEngineTest.Other", notepad = "\"" + GetWindowsFolder() + "\\notepad.exe\"";
    const std::tuple<HKEY, std::string, const char*, std::optional<std::string>> values[] = {
        {HKEY_CURRENT_USER, acme + "Settings", "Folder", dest + "data\\"},
        {HKEY_CURRENT_USER, acme + "Settings", "", "Plain"},
        {HKEY_CURRENT_USER, acme + "Empty", "Nothing", std::nullopt},
        {HKEY_CURRENT_USER, acme + "Literal", "Path", "data\\"},
        {HKEY_CLASSES_ROOT, ".KVT", "", "KvEngineTest.Doc"},
        {HKEY_CLASSES_ROOT, ".KVT\\ShellNew", "NullFile", ""},
        {HKEY_CLASSES_ROOT, doc, "", "Acme Document"},
        {HKEY_CLASSES_ROOT, doc, "IsShortcut", ""},
        {HKEY_CLASSES_ROOT, doc + "\\DefaultIcon", "", dest + "tool.txt,1"},
        {HKEY_CLASSES_ROOT, doc + "\\shell\\open\\command", "", notepad + " \"%1\""},
        {HKEY_CLASSES_ROOT, doc + "\\shell\\print\\command", "", notepad + " /p \"%1\""},
        {HKEY_CLASSES_ROOT, other + "\\DefaultIcon", "", dest},
        {HKEY_CLASSES_ROOT, other, "IsShortcut", std::nullopt},
        {HKEY_CLASSES_ROOT, other + "\\shell\\edit\\command", "", "\"" + dest + "tool.txt"},
        {HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools", "", dest},
        {HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools", "DisplayName", "Acme Tools"},
        {HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools", "UninstallString",
         dest + "Setup\\setup.exe uninstall"},
        {HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools", "QuietUninstallString",
         "\"" + dest + "Setup\\setup.exe\" uninstall quiet"}};
    for (const auto& [root, key, name, value] : values)
        EXPECT_EQ(RegText(root, key, name), value) << key << name;
    EXPECT_TRUE(RegKeyThere(HKEY_CURRENT_USER, acme + "Empty"));
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Old"));
    EXPECT_TRUE(RegKeyThere(HKEY_CLASSES_ROOT, doc + "\\shell\\oldverb")); // a verb the script does not name
    for (const std::string& gone : {std::string(".kvu\\ShellNew"), other + "\\shell\\view"})
        EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, gone)) << gone;
    EXPECT_TRUE(IsFile(links + "Acme Readme.lnk"));
    EXPECT_TRUE(IsFile(links + "Documents\\Acme Guide.lnk"));

    // What the uninstaller will read, line by line.
    const std::string d = Lower(dest);
    const Lines records{"destpath=" + d,
                        "uninstallfilestotal=4",
                        "file1=" + d + "docs\\notes.txt",
                        "file2=" + d + "readme.txt",
                        "file3=" + d + "docs\\guide.txt",
                        "file4=" + d + "data\\settings.ini",
                        "ext1=.kvt",
                        "ext2=.kvu",
                        "shortcut1=acme readme",
                        "shortcutfolder1=acme tools test",
                        "shortcut2=acme guide",
                        "shortcutfolder2=acme tools test\\documents"};
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"), records);
    EXPECT_EQ(InstallState(), "installstate=installed");

    // Answer No: nothing changes.
    const std::string question = "Are you sure you want to remove Acme Tools from your computer!?";
    answer = Answer::No;
    Uninstall(false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, question);
    EXPECT_TRUE(shown[0].question.choices == Choices::YesNo && shown[0].question.kind == MessageKind::Warning &&
                shown[0].question.noByDefault);
    EXPECT_EQ(shown[0].title, "Acme Tools Setup");
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
    EXPECT_EQ(InstallState(), "installstate=installed");

    // Answer Yes: every recorded item goes, everything else stays.
    answer = Answer::Yes;
    Reset();
    Uninstall(false);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(started, Lines{GetWindowsFolder() + "\\EXPLORER.EXE /n,/e," + d});
    for (const char* gone : {"docs\\notes.txt", "readme.txt", "docs\\guide.txt", "data\\settings.ini"})
        EXPECT_FALSE(IsFile(dest + gone)) << gone;
    for (const char* kept : {"tool.txt", "other.dll", "comp.ocx", "fonts\\Test.TTF", "Setup\\setup.exe"})
        EXPECT_TRUE(IsFile(dest + kept)) << kept;
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme"));
    EXPECT_TRUE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Keep"));
    for (const char* type : {".KVT", ".kvu", "KvEngineTest.Other"})
        EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, type)) << type;
    // Of a type that held another program's verb, only that verb is left.
    EXPECT_EQ(KeyContents(HKEY_CLASSES_ROOT, doc), std::make_pair(DWORD(1), DWORD(0)));
    EXPECT_EQ(KeyContents(HKEY_CLASSES_ROOT, doc + "\\shell"), std::make_pair(DWORD(1), DWORD(0)));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, doc + "\\shell\\oldverb\\command", ""), "old");
    EXPECT_FALSE(IsFile(links + "Acme Readme.lnk"));
    EXPECT_FALSE(IsFile(links + "Documents\\Acme Guide.lnk"));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools"));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, ProductKey + "Other Product", ""), "C:\\Other\\");
    EXPECT_TRUE(RegKeyThere(HKEY_LOCAL_MACHINE, UninstallKey + "Other Product"));
    EXPECT_EQ(InstallState(), "installstate=uninstalled");
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"), records);

    // A second run asks, then ends without touching anything.
    WriteText(dest + "readme.txt", "again");
    Reset();
    Uninstall(false);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
}
