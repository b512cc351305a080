// What belongs to another product or to the system stays through an installation and its
// removal: a file type's extension taken over since, a common extension's own subkeys,
// another program's verbs and values in a shared type, and the product key and uninstall
// entry of every other product.
#include "engine_fixture.h"

using namespace kvtest;
using Ownership = EngineTest;

namespace {

const std::string TypeScript = "[install]\nProductName=Acme Tools\nEstablishSetup=1\nTotalRegExts=1\n"
                               "RegExt1=.acmb\nRegExt1key=AcmeA.Doc\nRegExt1Desc=A\nRegExt1ShellNew=1\n"
                               "RegExt1Commands=open|a.exe\n";
const RegRoot classes = RegHKeyClassesRoot;

} // namespace

TEST_F(Ownership, AnExtensionTakenOverByAnotherProductKeepsItsNewType) {
    Prepare("taken-over", TypeScript);
    Install();
    ASSERT_EQ(Reg(classes, ".acmb", ""), "AcmeA.Doc");
    Put(classes, ".acmb", "", "AcmeB.Doc");
    Put(classes, "AcmeB.Doc\\shell\\open\\command", "", "b.exe");
    Uninstall(true);
    EXPECT_EQ(Reg(classes, ".acmb", ""), "AcmeB.Doc");
    EXPECT_EQ(Reg(classes, "AcmeB.Doc\\shell\\open\\command", ""), "b.exe");
    EXPECT_TRUE(KeyThere(classes, ".acmb\\ShellNew")); // not known to be ours any more
    EXPECT_FALSE(KeyThere(classes, "AcmeA.Doc"));      // the product's own type goes
}

TEST_F(Ownership, ACommonExtensionKeepsTheSystemsSubkeys) {
    Prepare("common-ext", TypeScript);
    Put(classes, ".acmb", "", "acmbfile");
    Put(classes, ".acmb\\OpenWithProgids", "acmbfile", "");
    Put(classes, ".acmb\\PersistentHandler", "", "{5e941d80}");
    Put(classes, ".acmb\\ShellNew", "Data", "old");
    Install();
    EXPECT_EQ(Reg(classes, ".acmb\\OpenWithProgids", "acmbfile"), "");
    EXPECT_EQ(Values(classes, ".acmb\\ShellNew"), Lines{"NullFile = "}); // replaced
    Uninstall(true);
    EXPECT_EQ(Contents(classes, ".acmb"), std::make_pair(2, 0));
    EXPECT_EQ(Reg(classes, ".acmb\\PersistentHandler", ""), "{5e941d80}");
    EXPECT_FALSE(KeyThere(classes, "AcmeA.Doc"));
}

TEST_F(Ownership, ASharedTypeKeepsAnotherProgramsVerbsAndValues) {
    for (const bool verb : {true, false}) {
        SCOPED_TRACE(verb ? "a verb and a value" : "a value");
        Prepare(verb ? "shared-verb" : "shared-value", TypeScript);
        Install();
        ASSERT_EQ(Reg(classes, "AcmeA.Doc\\shell\\open\\command", ""), "\"" + dest + "a.exe");
        if (verb) Put(classes, "AcmeA.Doc\\shell\\edit\\command", "", "b.exe");
        Put(classes, "AcmeA.Doc", "EditFlags", "b");
        Uninstall(true);
        EXPECT_EQ(Contents(classes, "AcmeA.Doc"), std::make_pair(int(verb), 1));
        EXPECT_EQ(Reg(classes, "AcmeA.Doc", "EditFlags"), "b");
        if (verb) {
            EXPECT_EQ(Contents(classes, "AcmeA.Doc\\shell"), std::make_pair(1, 0));
            EXPECT_EQ(Reg(classes, "AcmeA.Doc\\shell\\edit\\command", ""), "b.exe");
        }
        EXPECT_FALSE(KeyThere(classes, ".acmb"));
        pc.DeleteKey(classes, "AcmeA.Doc");
    }
}

TEST_F(Ownership, AProductNameThatNamesNoKeyOfItsOwnMakesAndDeletesNoKey) {
    const std::string parents[] = {"SOFTWARE\\Kavex Software",
                                   UninstallKey.substr(0, UninstallKey.size() - 1)};
    for (const std::string& parent : parents)
        Put(RegHKeyLocalMachine, parent + "\\Other", "DisplayName", "O");
    const std::vector<std::string> registry = pc.RegistryDump();
    for (const char* name : {"\\", " \\ ", "Acme\\", "a\\\\b", ".."}) {
        SCOPED_TRACE(name);
        Prepare(std::string("bad-name") + std::to_string(name[0]),
                std::string("[install]\nEstablishSetup=1\nProductName=") + name + "\n");
        Install();
        ASSERT_EQ(InstallState(), "installstate=installed");
        EXPECT_EQ(pc.RegistryDump(), registry);
        Uninstall(true);
        EXPECT_EQ(pc.RegistryDump(), registry);
    }
}
