// Whole installations and their removal: a product with every kind of item, checked file
// by file, key by key and line by line in the installed script, and the sample product.
#include "engine_support.h"

using namespace kvtest;

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

    // Registry entries and file types.
    const std::string settings = "Software\\KvEngineTest\\Acme\\Settings";
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Old"));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, settings, "Folder"), dest + "data\\");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, settings, ""), "Plain");
    EXPECT_TRUE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme\\Empty"));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme\\Empty", "Nothing"), std::nullopt);
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\KvEngineTest\\Acme\\Literal", "Path"), "data\\");
    const std::string notepad = "\"" + GetWindowsFolder() + "\\notepad.exe\"";
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".KVT", ""), "KvEngineTest.Doc");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".KVT\\ShellNew", "NullFile"), "");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc", ""), "Acme Document");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc", "IsShortcut"), "");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\DefaultIcon", ""), dest + "tool.txt,1");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\shell\\open\\command", ""), notepad + " \"%1\"");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\shell\\print\\command", ""),
              notepad + " /p \"%1\"");
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, "KvEngineTest.Doc\\shell\\oldverb"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Other\\DefaultIcon", ""), dest);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Other", "IsShortcut"), std::nullopt);
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, ".kvu\\ShellNew"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KvEngineTest.Other\\shell\\edit\\command", ""),
              "\"" + dest + "tool.txt");
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, "KvEngineTest.Other\\shell\\view"));

    // Shortcuts, the product key and the entry in the list of installed programs.
    EXPECT_TRUE(IsFile(links + "Acme Readme.lnk"));
    EXPECT_TRUE(IsFile(links + "Documents\\Acme Guide.lnk"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools", ""), dest);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools", "DisplayName"), "Acme Tools");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, UninstallKey + "Acme Tools", "UninstallString"),
              dest + "Setup\\setup.exe uninstall");

    // What the uninstaller will read, line by line.
    const std::string d = Lower(dest);
    const Lines records{"destpath=" + d,
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
    EXPECT_EQ(InstallState(), "installstate=installed");
    EXPECT_EQ(SectionLines(dist + "setup.ini", "uninstall"), Lines{});

    // Answer No: nothing changes.
    const std::string question = "Are you sure you want to remove Acme Tools from your computer!?";
    answer = IDNO;
    Uninstall(false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, question);
    EXPECT_EQ(shown[0].flags, unsigned(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
    EXPECT_EQ(shown[0].title, "Acme Tools Setup");
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
    EXPECT_EQ(InstallState(), "installstate=installed");

    // Answer Yes: every recorded item goes, everything else stays.
    answer = IDYES;
    Reset();
    Uninstall(false);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text,
              "Acme Tools has been successfully uninstalled.\r\rHowever, Setup will not delete the "
              "folder in which Acme Tools was located in because there are files still left in it. "
              "Setup will open an Explorer window focused on the folder so that you may delete it.");
    EXPECT_EQ(shown[1].flags, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(shown[1].title, "Acme Tools Setup");
    EXPECT_EQ(started, Lines{GetWindowsFolder() + "\\EXPLORER.EXE /n,/e," + d});
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
    EXPECT_EQ(InstallState(), "installstate=uninstalled");
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"), records);

    // A second run asks, then ends without touching anything.
    WriteText(dest + "readme.txt", "again");
    RegPut(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools", "", dest);
    Reset();
    Uninstall(false);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
    EXPECT_TRUE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Tools"));
}

TEST_F(Installation, SampleProductInstallsAndUninstallsCleanly) {
    const std::string sample = BinFolder() + "data\\sample\\";
    Prepare("sample", ReadText(sample + "setup.ini"));
    for (const auto& entry : std::filesystem::directory_iterator(sample))
        if (entry.path().filename() != "setup.ini")
            std::filesystem::copy_file(entry.path(), dist / entry.path().filename());
    std::filesystem::copy_file(BinFolder() + "data\\DejaVuSans.ttf", dist + "DejaVuSans.ttf");
    WriteText(dest + "notes.txt", "my notes");
    WriteText(dest + "old1.txt", "old");

    Install();
    for (const auto& message : shown) ADD_FAILURE() << message.text;
    EXPECT_FALSE(CopyFailed());
    for (const char* name :
         {"readme.txt", "license.txt", "docs\\guide.kvs", "data\\settings.kvs", "Setup\\setup.exe"})
        EXPECT_TRUE(IsFile(dest + name)) << name;
    EXPECT_EQ(ReadText(dest + "docs\\notes.txt"), "my notes");
    EXPECT_FALSE(IsFile(dest + "old1.txt"));
    EXPECT_TRUE(IsFile(GetWindowsFolder() + "\\Fonts\\DejaVuSans.ttf"));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\Kavex Software\\Kavex Sample\\Settings", "DataFolder"),
              dest + "data\\");
    const std::string links = ProgramsFolder() + "Kavex Sample\\";
    EXPECT_TRUE(IsFile(links + "Kavex Sample Readme.lnk"));
    EXPECT_TRUE(IsFile(links + "Documents\\Kavex Sample Guide.lnk"));

    Uninstall(true);
    for (const char* name : {"readme.txt", "license.txt", "docs\\guide.kvs", "docs\\notes.txt"})
        EXPECT_FALSE(IsFile(dest + name)) << name;
    EXPECT_TRUE(IsFile(dest + "data\\settings.kvs")); // the user's settings stay
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\Kavex Software\\Kavex Sample"));
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, ".kvs"));
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, "KavexSample.Document"));
    EXPECT_FALSE(std::filesystem::exists(links));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Kavex Sample"));
}
