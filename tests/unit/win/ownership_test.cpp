// What belongs to another product or to the system stays through an installation and its
// removal: a file type's extension taken over since, a common extension's own subkeys,
// another program's verbs and values in a shared type, and the product key and uninstall
// entry of every other product.
#include "engine_support.h"

using namespace kvtest;

namespace {

const std::string TypeScript = "[install]\nProductName=Acme Tools\nEstablishSetup=1\nTotalRegExts=1\n"
                               "RegExt1=.acmb\nRegExt1key=AcmeA.Doc\nRegExt1Desc=A\nRegExt1ShellNew=1\n"
                               "RegExt1Commands=open|a.exe\n";

} // namespace

TEST_F(Installation, AnExtensionTakenOverByAnotherProductKeepsItsNewType) {
    Prepare("taken-over", TypeScript);
    Install();
    ASSERT_EQ(RegText(HKEY_CLASSES_ROOT, ".acmb", ""), "AcmeA.Doc");
    RegPut(HKEY_CLASSES_ROOT, ".acmb", "", "AcmeB.Doc");
    RegPut(HKEY_CLASSES_ROOT, "AcmeB.Doc\\shell\\open\\command", "", "b.exe");
    Uninstall(true);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".acmb", ""), "AcmeB.Doc");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "AcmeB.Doc\\shell\\open\\command", ""), "b.exe");
    EXPECT_TRUE(RegKeyThere(HKEY_CLASSES_ROOT, ".acmb\\ShellNew")); // not known to be ours any more
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, "AcmeA.Doc"));      // the product's own type goes
}

TEST_F(Installation, ACommonExtensionKeepsTheSystemsSubkeys) {
    Prepare("common-ext", TypeScript);
    RegPut(HKEY_CLASSES_ROOT, ".acmb", "", "acmbfile");
    RegPut(HKEY_CLASSES_ROOT, ".acmb\\OpenWithProgids", "acmbfile", "");
    RegPut(HKEY_CLASSES_ROOT, ".acmb\\PersistentHandler", "", "{5e941d80}");
    RegPut(HKEY_CLASSES_ROOT, ".acmb\\ShellNew", "Data", "old");
    Install();
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".acmb\\OpenWithProgids", "acmbfile"), "");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".acmb\\ShellNew", "NullFile"), "");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".acmb\\ShellNew", "Data"), std::nullopt); // replaced
    Uninstall(true);
    EXPECT_EQ(KeyContents(HKEY_CLASSES_ROOT, ".acmb"), std::make_pair(DWORD(2), DWORD(0)));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".acmb\\PersistentHandler", ""), "{5e941d80}");
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, "AcmeA.Doc"));
}

TEST_F(Installation, ASharedTypeKeepsAnotherProgramsVerbsAndValues) {
    for (const bool verb : {true, false}) {
        SCOPED_TRACE(verb ? "a verb and a value" : "a value");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "AcmeA.Doc");
        Prepare("shared-type", TypeScript);
        Install();
        ASSERT_EQ(RegText(HKEY_CLASSES_ROOT, "AcmeA.Doc\\shell\\open\\command", ""), "\"" + dest + "a.exe");
        if (verb) RegPut(HKEY_CLASSES_ROOT, "AcmeA.Doc\\shell\\edit\\command", "", "b.exe");
        RegPut(HKEY_CLASSES_ROOT, "AcmeA.Doc", "EditFlags", "b");
        Uninstall(true);
        EXPECT_EQ(KeyContents(HKEY_CLASSES_ROOT, "AcmeA.Doc"), std::make_pair(DWORD(verb), DWORD(1)));
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "AcmeA.Doc", "EditFlags"), "b");
        if (verb) {
            EXPECT_EQ(KeyContents(HKEY_CLASSES_ROOT, "AcmeA.Doc\\shell"), std::make_pair(DWORD(1), DWORD(0)));
            EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "AcmeA.Doc\\shell\\edit\\command", ""), "b.exe");
        }
        EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, ".acmb"));
    }
}

TEST_F(Installation, AProductNameThatNamesNoKeyOfItsOwnMakesAndDeletesNoKey) {
    const std::string parents[] = {"SOFTWARE\\Kavex Software",
                                   UninstallKey.substr(0, UninstallKey.size() - 1)};
    for (const char* name : {"\\", " \\ ", "Acme\\", "a\\\\b", ".."}) {
        SCOPED_TRACE(name);
        for (const std::string& parent : parents) {
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, parent.c_str());
            RegPut(HKEY_LOCAL_MACHINE, parent + "\\Other", "DisplayName", "O");
        }
        Prepare("bad-name", std::string("[install]\nEstablishSetup=1\nProductName=") + name + "\n");
        Install();
        ASSERT_EQ(InstallState(), "installstate=installed");
        for (const std::string& parent : parents)
            EXPECT_EQ(KeyContents(HKEY_LOCAL_MACHINE, parent), std::make_pair(DWORD(1), DWORD(0)));
        Uninstall(true);
        for (const std::string& parent : parents) {
            EXPECT_EQ(KeyContents(HKEY_LOCAL_MACHINE, parent), std::make_pair(DWORD(1), DWORD(0)));
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, parent + "\\Other", "DisplayName"), "O");
        }
    }
}
