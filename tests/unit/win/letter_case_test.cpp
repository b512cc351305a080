// The letters of the system's code page that the program stores or answers in lower case.
#include "engine_support.h"
#include "wizard/folder_chooser.h"

using namespace kvtest;

// \311 and \326 are É and Ö in the code page 1252 of the test system; \351 and \366 their small letters.
TEST_F(Session, AccentedCapitalsOfTheSystemsCodePageAreStoredAndChosenInLowerCase) {
    ASSERT_EQ(GetACP(), 1252u);
    const std::string folder = FreshFolder("letter-case");
    session.WriteIni("\326l", "C:\\\311cole\\", "Inst\311", folder);
    EXPECT_EQ(SectionLines(folder + "setup.ini", "inst\351"), Lines{"\366l=c:\\\351cole\\"});
    EXPECT_EQ(ChosenFolderOf("C:\\\311COLE\\\326L"), "c:\\\351cole\\\366l\\");
}
