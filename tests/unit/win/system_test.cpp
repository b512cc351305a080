// The system layer on Wine's real registry and processes: the registry procedures'
// guards, waiting for a program, and the product key that the component search reads
// first. The toolkit's shortcuts are toolkit_test's.
#include "engine_support.h"
#include "system/regprocs.h"
#include "wizard/screen_actions.h"

using namespace kvtest;

namespace {

class SystemLayer : public Session {};

TEST_F(SystemLayer, RegistryProceduresTouchNothingWithoutRootOrPath) {
    CreateRegKey(RegHKeyCurrentUser, "Software\\KavexTests\\Keep");
    CreateRegKey(0, "Software\\KavexTests\\NoRoot");
    DeleteRegKey(0, "Software\\KavexTests\\Keep");
    // An empty path must never be taken as the whole root.
    DeleteRegKey(RegHKeyCurrentUser, "");
    DeleteRegKey(RegHKeyCurrentUser, " \\ ");
    EXPECT_TRUE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KavexTests\\Keep"));
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KavexTests\\NoRoot"));
    // A value is never written under a key that is not there.
    SetRegValue(RegHKeyCurrentUser, "Software\\KavexTests\\Never", "name", "value", 1);
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\KavexTests\\Never"));
}

// kvwait.exe sleeps, then writes its marker: the marker is there once RunAndWait returns.
TEST(ProcessRunner, RunAndWaitReturnsOnlyAfterTheProgramEnded) {
    const std::string folder = FreshFolder("sys-process");
    RunAndWait(BinFolder() + "kvwait.exe 800 " + folder + "waited.txt");
    EXPECT_EQ(ReadText(folder + "waited.txt"), "done");
    RunAndWait(folder + "no such program.exe"); // back at once, silently
}

TEST_F(SystemLayer, ProductKeyGivesTheDestinationWithoutSearching) {
    const std::string folder = FreshFolder("sys-productkey");
    WriteText(folder + "setup.ini", "[install]\nProductName=Later Test Product\nComponents=never.dll\n");
    UseSource(folder);
    RegPut(HKEY_LOCAL_MACHINE, ProductKey + "Later Test Product", "", "D:\\Old Place");
    UseDestination("C:\\Program Files\\Later\\");
    FindComponents(session, [] { return false; });
    EXPECT_EQ(Destination(), "D:\\Old Place\\");
}

} // namespace
