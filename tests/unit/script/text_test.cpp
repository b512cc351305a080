#include <gtest/gtest.h>

#include "script/text.h"

namespace {

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces{"left over"};
    const int16_t count = SplitText(pieces, text, separator);
    EXPECT_EQ(static_cast<size_t>(count) + 1, pieces.size());
    EXPECT_EQ("", pieces[0]);
    return {pieces.begin() + 1, pieces.end()};
}

using Pieces = std::vector<std::string>;

TEST(SplitText, PiecesBetweenSeparators) {
    EXPECT_EQ((Pieces{"a", "b"}), Split("a|b", "|"));
    EXPECT_EQ((Pieces{""}), Split("", "|"));
    EXPECT_EQ((Pieces{"x", "y"}), Split("x y", " "));
    EXPECT_EQ((Pieces{"x", "", "y"}), Split("x  y", " "));
    EXPECT_EQ((Pieces{"a", ""}), Split("a|", "|"));
    EXPECT_EQ((Pieces{"a", "b", "c"}), Split("a<>b<>c", "<>"));
    // Case-sensitive: "X" does not separate at "x".
    EXPECT_EQ((Pieces{"aXb"}), Split("aXb", "x"));
    // Overlapping candidates: the search goes on behind each separator found.
    EXPECT_EQ((Pieces{"a", "|b"}), Split("a|||b", "||"));
}

TEST(SplitText, EmptySeparatorAndPieceLimit) {
    EXPECT_EQ((Pieces{"abc"}), Split("abc", ""));
    // 40000 separators would make 40001 pieces; the count stays 16-bit and the last
    // piece keeps the rest of the text.
    const std::string many(40000, ',');
    std::vector<std::string> pieces;
    ASSERT_EQ(32767, SplitText(pieces, many, ","));
    EXPECT_EQ("", pieces[32766]);
    EXPECT_EQ(std::string(40000 - 32766, ','), pieces[32767]);
}

TEST(GetPathPart, PartsOfAFilePath) {
    EXPECT_EQ("C:\\a\\", GetPathPart("C:\\a\\b.txt"));
    EXPECT_EQ("C:\\a", GetPathPart("C:\\a\\b.txt", 0, false));
    EXPECT_EQ("b.txt", GetPathPart("C:\\a\\b.txt", 1));
    EXPECT_EQ("txt", GetPathPart("C:\\a\\b.txt", 2));
    EXPECT_EQ("b", GetPathPart("C:\\a\\b.txt", 3));
    EXPECT_EQ("", GetPathPart("C:\\a\\b.txt", 4));
    EXPECT_EQ("ab", GetPathPart("x\\a.b.txt", 3));
    EXPECT_EQ("README", GetPathPart("d\\README", 2));
    EXPECT_EQ("", GetPathPart("d\\README", 3));
    EXPECT_EQ("", GetPathPart("file.txt", 0));
    EXPECT_EQ("file.txt", GetPathPart("file.txt", 1));
}

TEST(GetPathPart, FolderPathsComeBackWhole) {
    for (int16_t part : {0, 1, 2, 3, 9}) EXPECT_EQ("C:\\a\\", GetPathPart("C:\\a\\", part, false));
    EXPECT_EQ("", GetPathPart("", 1));
}

TEST(TextHelpers, TrimsAndLetterCase) {
    EXPECT_EQ("abc", TrimAtNull("abc"));
    EXPECT_EQ("ab", TrimAtNull(std::string_view("ab\0cd", 5)));
    EXPECT_EQ("a b", TrimBlanks("  a b  "));
    EXPECT_EQ("\ta", TrimBlanks(" \ta "));
    EXPECT_EQ("", TrimBlanks("   "));
    EXPECT_EQ("c:\\program files\\\xC4", LowerCase("C:\\Program Files\\\xC4"));
    EXPECT_EQ("ABC1", UpperCase("aBc1"));
    EXPECT_TRUE(EqualsNoCase("InstallState", "INSTALLSTATE"));
    EXPECT_EQ(4u, FindNoCase("x:\\a%WINDOWS%", "%windows%"));
    EXPECT_EQ(3u, FindNoCase("abcabc", "ABC", 1));
}

} // namespace
