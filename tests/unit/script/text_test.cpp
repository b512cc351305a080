// The text and path helpers.
#include <gtest/gtest.h>

#include "script/text.h"

namespace {

using Pieces = std::vector<std::string>;

Pieces Split(std::string_view text, std::string_view separator) {
    Pieces pieces{"left over"};
    const int16_t count = SplitText(pieces, text, separator);
    EXPECT_EQ(static_cast<size_t>(count) + 1, pieces.size());
    EXPECT_EQ("", pieces[0]);
    return {pieces.begin() + 1, pieces.end()};
}

TEST(SplitText, PiecesBetweenSeparatorsUpToTheLimit) {
    EXPECT_EQ((Pieces{""}), Split("", "|"));
    EXPECT_EQ((Pieces{"x", "", "y"}), Split("x  y", " "));
    EXPECT_EQ((Pieces{"a", ""}), Split("a|", "|"));
    EXPECT_EQ((Pieces{"a", "b", "c"}), Split("a<>b<>c", "<>"));
    EXPECT_EQ((Pieces{"aXb"}), Split("aXb", "x"));        // case-sensitive
    EXPECT_EQ((Pieces{"a", "|b"}), Split("a|||b", "||")); // the search goes on behind each separator
    EXPECT_EQ((Pieces{"abc"}), Split("abc", ""));
    // 40000 separators would make 40001 pieces; the count stays 16-bit and the last piece
    // keeps the rest of the text.
    Pieces pieces;
    ASSERT_EQ(32767, SplitText(pieces, std::string(40000, ','), ","));
    EXPECT_EQ(std::string(40000 - 32766, ','), pieces[32767]);
}

TEST(GetPathPart, PartsOfAFilePathAndFoldersWhole) {
    const char* parts[] = {"C:\\a\\", "b.txt", "txt", "b", ""};
    for (int16_t part = 0; part < 5; ++part) EXPECT_EQ(GetPathPart("C:\\a\\b.txt", part), parts[part]);
    const std::tuple<const char*, int16_t, const char*> cases[] = {{"x\\a.b.txt", 3, "ab"},
                                                                   {"d\\README", 2, "README"},
                                                                   {"d\\README", 3, ""},
                                                                   {"file.txt", 0, ""},
                                                                   {"", 1, ""}};
    for (const auto& [path, part, expected] : cases)
        EXPECT_EQ(GetPathPart(path, part), expected) << path << part;
    EXPECT_EQ("C:\\a", GetPathPart("C:\\a\\b.txt", 0, false));
    EXPECT_EQ("C:\\a\\", GetPathPart("C:\\a\\", 3, false)); // a folder path comes back whole
}

TEST(StoredFolderPath, EachLevelLosesItsTrailingDotsAndBlanks) {
    EXPECT_EQ("C:\\Work2\\", StoredFolderPath("C:\\Work2. .\\"));
    EXPECT_EQ("C:\\a\\b c\\d.e\\f", StoredFolderPath("C:\\a .\\b c \\d.e..\\f"));
    EXPECT_EQ("\\\\server\\share\\", StoredFolderPath("\\\\server\\share.\\"));
    // Levels of dots and blanks only, and the part after the last backslash, are kept.
    EXPECT_EQ("C:\\..\\.\\ \\x. ", StoredFolderPath("C:\\..\\.\\ \\x. "));
}

TEST(TextHelpers, TrimsAndLetterCase) {
    EXPECT_EQ("\ta", TrimBlanks(" \ta "));
    EXPECT_EQ("", TrimBlanks("   "));
    EXPECT_EQ("c:\\program files\\\xC4", LowerCase("C:\\Program Files\\\xC4"));
    EXPECT_EQ("ABC1", UpperCase("aBc1"));
    EXPECT_EQ(3u, FindNoCase("abcabc", "ABC", 1));
}

} // namespace
