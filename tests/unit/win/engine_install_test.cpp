// A whole installation of a product with every kind of item, its records in the installed
// script, and its removal beside another product that must stay.
#include "engine_support.h"

using namespace enginetest;

namespace {

const char* const FullScript = R"([install]
ProductName=Acme Tools
SetupTitle=Acme Tools Setup
EstablishSetup=1
KillFilesTotal=2
KillFile1=old*.dll
KillFile2=%default%obsolete.txt
KillRegKeysTotal=1
KillRegKey1Root=&H80000001
KillRegKey1Folder=Software\KvEngineTest\Old
MoveFilesTotal=1
MoveFile1=notes.txt
MoveFile1To=docs\notes.txt
TotalFiles=6
srcfile1=readme.txt
destfile1=readme.txt
srcfile2=guide.txt
destfile2=docs\guide.txt
srcfile3=
destfile3=never.txt
srcfile4=settings.ini
destfile4=data\settings.ini
srcfile4NoOverwrite=1
srcfile5=tool.txt
destfile5=tool.txt
srcfile5NoUninstall=1
srcfile6=DejaVuSans.ttf
destfile6=fonts\Test.TTF
DestFileFont6=KvEngineTest Sans (TrueType)
srcfile6NoUninstall=1
TotalOcxs=2
OcxSrc1=comp.ocx
OcxDest1=comp.ocx
OcxSrc2=missing.ocx
OcxDest2=missing.ocx
OcxSrc2NoErrorCheck=1
TotalRegKeys=4
RegKeyRoot1=&H80000001
RegKeySubKey1=Software\KvEngineTest\Acme\Settings
RegKeyValueName1=Folder
RegKeyValue1=data\
RegKeyValueIsPath1=1
RegKeyUninstall1=Software\KvEngineTest\Acme
RegKeyRoot2=-2147483647
RegKeySubKey2=Software\KvEngineTest\Acme\Settings
RegKeyValue2=Plain
RegKeyRoot3=&H80000001
RegKeySubKey3=Software\KvEngineTest\Acme\Empty
RegKeyValueName3=Nothing
RegKeyValue3=
RegKeyRoot4=&H80000001
RegKeySubKey4=Software\KvEngineTest\Acme\Literal
RegKeyValueName4=Path
RegKeyValue4=data\
TotalRegExts=2
RegExt1=.KVT
RegExt1key=KvEngineTest.Doc
RegExt1Desc=Acme Document
RegExt1ShellNew=1
RegExt1IsShortcut=1
RegExt1Icon=tool.txt,1
RegExt1Commands=open|%windows%notepad.exe" "%1"|print|%windows%notepad.exe" /p "%1"
RegExt2=.kvu
RegExt2key=KvEngineTest.Other
RegExt2Desc=Other
RegExt2Commands=edit|tool.txt|view
TotalShortcuts=2
DefaultShortcutFolder=Acme Tools Test
Shortcut1=readme.txt
Shortcut1Desc=Acme Readme
Shortcut2=%windows%notepad.exe
Shortcut2Desc=Acme Guide
Shortcut2Folder=Acme Tools Test\Documents
)";

const std::string ProductKey = "SOFTWARE\\Kavex Software\\";
const std::string UninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

} // namespace

TEST_F(Installation, InstallsRecordsAndUninstallsAProductBesideAnother) {
    Prepare("full", FullScript);
    for (const char* name : {"readme.txt", "guide.txt", "settings.ini", "tool.txt", "comp.ocx"})
        WriteText(dist + name, std::string("shipped ") + name);
    std::filesystem::copy_file(BinFolder() + "data\\DejaVuSans.ttf", dist + "DejaVuSans.ttf");
    for (const char* name : {"oldA.dll", "oldB.dll", "other.dll", "obsolete.txt", "notes.txt"})
        WriteText(dest + name, name);
    WriteText(dest + "data\\settings.ini", "user=1");
    RegRemove(HKEY_CURRENT_USER, "Software\\KvEngineTest");
    RegPut(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Old", "x", "1");
    RegPut(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Keep", "x", "1");
    RegPut(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\shell\\oldverb\\command", "", "old");
    // Another product's entries, which no step may touch.
    RegPut(HKEY_LOCAL_MACHINE, ProductKey + "Other Product", "", "C:\\Other\\");
    RegPut(HKEY_LOCAL_MACHINE, UninstallKey + "Other Product", "DisplayName", "Other Product");
    RegPut(HKEY_CLASSES_ROOT, ".kvother", "", "KvEngineTest.OtherProduct");

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
    EXPECT_FALSE(IsFile(dest + "oldA.dll") || IsFile(dest + "oldB.dll") || IsFile(dest + "obsolete.txt"));
    EXPECT_TRUE(IsFile(dest + "other.dll"));
    EXPECT_FALSE(IsFile(dest + "notes.txt"));
    EXPECT_EQ(ReadText(dest + "docs\\notes.txt"), "notes.txt");
    EXPECT_EQ(ReadText(dest + "docs\\guide.txt"), "shipped guide.txt");
    EXPECT_EQ(ReadText(dest + "data\\settings.ini"), "user=1");
    EXPECT_FALSE(IsFile(dest + "never.txt"));
    EXPECT_EQ(ReadText(dest + "fonts\\Test.TTF"), ReadText(dist + "DejaVuSans.ttf"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts",
                      "KvEngineTest Sans (TrueType)"),
              dest + "fonts\\Test.TTF");
    for (const char* name : {"setup.exe", "stkit432.dll"})
        EXPECT_EQ(ReadText(dest + "Setup\\" + name), ReadText(dist + name)) << name;

    // Components: copied, and only the one on the computer is registered, not waited for.
    EXPECT_EQ(ReadText(dest + "comp.ocx"), "shipped comp.ocx");
    EXPECT_EQ(started, std::vector<std::string>{dist + "regsvr32.exe " + ShortPathOf(dest + "comp.ocx")});

    // Registry entries of the script.
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Old"));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme\\Settings", "Folder"),
              dest + "data\\");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme\\Settings", ""), "Plain");
    EXPECT_TRUE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme\\Empty"));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme\\Empty", "Nothing"), std::nullopt);
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme\\Literal", "Path"), "data\\");

    // File types.
    const std::string windows = GetWindowsFolder();
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".KVT", ""), "KvEngineTest.Doc");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".KVT\\ShellNew", "NullFile"), "");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc", ""), "Acme Document");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc", "IsShortcut"), "");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\DefaultIcon", ""), dest + "tool.txt,1");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\shell\\open\\command", ""),
              std::string(1, '"') + windows + "\\notepad.exe\" \"%1\"");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\shell\\print\\command", ""),
              std::string(1, '"') + windows + "\\notepad.exe\" /p \"%1\"");
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\shell\\oldverb"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Other\\DefaultIcon", ""), dest);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Other", "IsShortcut"), std::nullopt);
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, ".kvu\\ShellNew"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Other\\shell\\edit\\command", ""),
              std::string(1, '"') + dest + "tool.txt");
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, "KvEngineTest.Other\\shell\\view"));

    // Shortcuts, the product key and the entry in the list of installed programs.
    const std::string links = ProgramsFolder() + "Acme Tools Test\\";
    EXPECT_TRUE(IsFile(links + "Acme Readme.lnk"));
    EXPECT_TRUE(IsFile(links + "Documents\\Acme Guide.lnk"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools", ""), dest);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools", "DisplayName"), "Acme Tools");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools", "UninstallString"),
              dest + "Setup\\setup.exe uninstall");

    // What the uninstaller will read, line by line.
    const std::string d = Lower(dest);
    const std::vector<std::string> records{"destpath=" + d,
                                           "file1=" + d + "docs\\notes.txt",
                                           "file2=" + d + "readme.txt",
                                           "file3=" + d + "docs\\guide.txt",
                                           "file4=" + d + "data\\settings.ini",
                                           "uninstallfilestotal=4",
                                           "ext1=.kvt",
                                           "ext2=.kvu",
                                           "shortcut1=acme readme",
                                           "shortcutfolder1=acme tools test",
                                           "shortcut2=acme guide",
                                           "shortcutfolder2=acme tools test\\documents"};
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"), records);
    EXPECT_EQ(SectionLines(InstalledScript(), "install").back(), "installstate=installed");
    EXPECT_EQ(SectionLines(dist + "setup.ini", "uninstall"), std::vector<std::string>{});

    // Answer No: nothing changes.
    answer = IDNO;
    Uninstall(false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Are you sure you want to remove Acme Tools from your computer!?");
    EXPECT_EQ(shown[0].flags, unsigned(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
    EXPECT_EQ(shown[0].title, "Acme Tools Setup");
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
    EXPECT_EQ(SectionLines(InstalledScript(), "install").back(), "installstate=installed");

    // Answer Yes: every recorded item goes, everything else stays.
    answer = IDYES;
    shown.clear();
    started.clear();
    Uninstall(false);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text,
              "Acme Tools has been successfully uninstalled.\r\rHowever, Setup will not delete the "
              "folder in which Acme Tools was located in because there are files still left in it. "
              "Setup will open an Explorer window focused on the folder so that you may delete it.");
    EXPECT_EQ(shown[1].flags, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(shown[1].title, "Acme Tools Setup");
    EXPECT_EQ(started, std::vector<std::string>{windows + "\\EXPLORER.EXE /n,/e," + d});
    for (const char* gone : {"docs\\notes.txt", "readme.txt", "docs\\guide.txt", "data\\settings.ini"})
        EXPECT_FALSE(IsFile(dest + gone)) << gone;
    for (const char* kept : {"tool.txt", "other.dll", "comp.ocx", "fonts\\Test.TTF", "Setup\\setup.exe"})
        EXPECT_TRUE(IsFile(dest + kept)) << kept;
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme"));
    EXPECT_TRUE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Keep"));
    for (const char* type : {".KVT", "KvEngineTest.Doc", ".kvu", "KvEngineTest.Other"})
        EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, type)) << type;
    EXPECT_FALSE(IsFile(links + "Acme Readme.lnk"));
    EXPECT_FALSE(IsFile(links + "Documents\\Acme Guide.lnk"));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools"));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, ProductKey + "Other Product", ""), "C:\\Other\\");
    EXPECT_TRUE(RegKeyThere(HKEY_LOCAL_MACHINE, UninstallKey + "Other Product"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".kvother", ""), "KvEngineTest.OtherProduct");
    EXPECT_EQ(SectionLines(InstalledScript(), "install").back(), "installstate=uninstalled");
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"), records);

    // A second run asks, then ends without touching anything.
    WriteText(dest + "readme.txt", "again");
    RegPut(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools", "", dest);
    shown.clear();
    started.clear();
    Uninstall(false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Are you sure you want to remove Acme Tools from your computer!?");
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
    EXPECT_TRUE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools"));

    RegRemove(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools");
    RegRemove(HKEY_LOCAL_MACHINE, ProductKey + "Other Product");
    RegRemove(HKEY_LOCAL_MACHINE, UninstallKey + "Other Product");
    RegRemove(HKEY_CLASSES_ROOT, ".kvother");
    RegRemove(HKEY_CURRENT_USER, "Software\\KvEngineTest");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts",
                       "KvEngineTest Sans (TrueType)");
}
