// The command line's words and values.
#include <gtest/gtest.h>

#include "script/command_line.h"

namespace {

using Value = std::optional<std::string>;

TEST(CommandWords, WordsInAnyCaseValuesQuotedWholeOrAfterTheirNameAndAFolderToTheEnd) {
    const CommandWords words(
        "  UnInstall\tquiet=1 \"ignoreprev\" log=C:\\a.log \"LOG=C:\\My Logs\\b.log\" x");
    EXPECT_TRUE(words.Has("uninstall") && words.Has("ignoreprev")); // a quoted word is a word too
    EXPECT_FALSE(words.Has("quiet") || words.Has("unattended"));    // a name with a value is no word
    EXPECT_EQ(words.Value("log"), Value("C:\\My Logs\\b.log"));     // the last one counts
    EXPECT_EQ(words.Value("dest"), std::nullopt);
    // Inside quotes a backslash is only a backslash, and the quoted text is one value.
    const CommandWords quoted("dest=\"C:\\Program Files\\quiet\\\" unattended log=\"D:\\x y\\\"");
    EXPECT_EQ(quoted.Value("dest"), Value("C:\\Program Files\\quiet\\"));
    EXPECT_TRUE(quoted.Has("unattended") && !quoted.Has("quiet"));
    EXPECT_EQ(quoted.Value("log"), Value("D:\\x y\\"));
    EXPECT_EQ(CommandWords("\"dest=C:\\Program Files\\\" quiet").Value("DEST"), Value("C:\\Program Files\\"));
    EXPECT_EQ(CommandWords("log=\"C:\\no end").Value("log"), Value("C:\\no end"));
    // An unquoted folder runs to the end of the line, but not across the blank right after its "=".
    const CommandWords folder("unattended Dest=C:\\Program Files\\Acme quiet  ");
    EXPECT_EQ(folder.Value("dest"), Value("C:\\Program Files\\Acme quiet"));
    EXPECT_TRUE(folder.Has("unattended") && !folder.Has("quiet"));
    EXPECT_EQ(CommandWords("dest=C:\\\"Program Files\"\\A b").Value("dest"), Value("C:\\Program Files\\A b"));
    EXPECT_EQ(CommandWords("dest= quiet").Value("dest"), Value(""));
    EXPECT_TRUE(CommandWords("dest= quiet").Has("quiet"));
}

TEST(CommandArguments, WhatFollowsTheProgramName) {
    EXPECT_EQ(CommandArguments("\"C:\\Program Files\\setup.exe\"  uninstall quiet"), "uninstall quiet");
    EXPECT_EQ(CommandArguments(" C:\\setup.exe\tdest=C:\\a b"), "dest=C:\\a b");
    EXPECT_EQ(CommandArguments("setup.exe"), "");
}

} // namespace
