// The letters of the system's code page that the program stores or answers in lower case.
#include "engine_support.h"
#include "wizard/folder_chooser.h"

using namespace kvtest;

// \xC9 and \xD6 are É and Ö in the code page 1252 of the test system; \xE9 and \xF6 their
// small letters.
TEST_F(Session, AccentedCapitalsOfTheSystemsCodePageAreStoredAndChosenInLowerCase) {
    ASSERT_EQ(GetACP(), 1252u);
    const std::string folder = FreshFolder("letter-case");
    session.WriteIni("\xD6l",
                     "C:\\\xC9"
                     "cole\\",
                     "Inst\xC9", folder);
    EXPECT_EQ(SectionLines(folder + "setup.ini", "inst\xE9"), Lines{"\xF6l=c:\\\xE9"
                                                                    "cole\\"});
    EXPECT_EQ(ChosenFolderOf("C:\\\xC9"
                             "COLE\\\xD6L"),
              "c:\\\xE9"
              "cole\\\xF6l\\");
}
