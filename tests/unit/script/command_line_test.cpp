// The command line's words and values.
#include <gtest/gtest.h>

#include "script/command_line.h"

namespace {

using Value = std::optional<std::string>;

TEST(CommandWords, WordsInAnyCaseAndValuesQuotedWholeOrAfterTheirName) {
    const CommandWords words(
        "  UnInstall\tquiet=1 \"ignoreprev\" log=C:\\a.log \"LOG=C:\\My Logs\\b.log\" x");
    EXPECT_TRUE(words.Has("uninstall"));
    EXPECT_TRUE(words.Has("ignoreprev")); // a quoted word is still a word
    EXPECT_FALSE(words.Has("quiet"));     // a name with a value is no word
    EXPECT_FALSE(words.Has("unattended"));
    EXPECT_EQ(words.Value("log"), Value("C:\\My Logs\\b.log")); // the last one counts
    EXPECT_EQ(words.Value("quiet"), Value("1"));
    EXPECT_EQ(words.Value("dest"), std::nullopt);

    // Inside quotes a backslash is only a backslash, and the quoted text is one value.
    const CommandWords quoted("dest=\"C:\\Program Files\\quiet\\\" unattended log=\"D:\\x y\\\"");
    EXPECT_EQ(quoted.Value("dest"), Value("C:\\Program Files\\quiet\\"));
    EXPECT_TRUE(quoted.Has("unattended"));
    EXPECT_FALSE(quoted.Has("quiet"));
    EXPECT_EQ(quoted.Value("log"), Value("D:\\x y\\"));
    EXPECT_EQ(CommandWords("\"dest=C:\\Program Files\\Acme\\\"  quiet").Value("DEST"),
              Value("C:\\Program Files\\Acme\\"));
    EXPECT_EQ(CommandWords("log=\"C:\\no end").Value("log"), Value("C:\\no end"));
    EXPECT_EQ(CommandWords("").Has(""), false);
}

TEST(CommandWords, AnUnquotedFolderRunsToTheEndOfTheLine) {
    const CommandWords words("unattended log=C:\\l.log Dest=C:\\Program Files\\Acme quiet  ");
    EXPECT_EQ(words.Value("dest"), Value("C:\\Program Files\\Acme quiet"));
    EXPECT_FALSE(words.Has("quiet"));
    EXPECT_TRUE(words.Has("unattended"));
    // Followed by a blank, the value is empty and the next word stands alone.
    const CommandWords empty("dest= quiet");
    EXPECT_EQ(empty.Value("dest"), Value(""));
    EXPECT_TRUE(empty.Has("quiet"));
}

TEST(CommandArguments, WhatFollowsTheProgramName) {
    EXPECT_EQ(CommandArguments("\"C:\\Program Files\\setup.exe\"  uninstall quiet"), "uninstall quiet");
    EXPECT_EQ(CommandArguments(" C:\\setup.exe\tdest=C:\\a b"), "dest=C:\\a b");
    EXPECT_EQ(CommandArguments("setup.exe"), "");
}

} // namespace
