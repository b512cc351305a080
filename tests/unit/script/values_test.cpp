// How the script's texts read as numbers, flags, counts and registry roots, and how a
// number is written for the user.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "script/values.h"

namespace {

TEST(ReadNumber, DecimalNumbersAsTheScriptWritesThem) {
    const std::pair<const char*, double>
        cases[] = {{"12 MB", 12},      {" \t1\n2 3", 123},   {"abc", 0},     {"- 1", -1},
                   {"--1", 0},         {".5", 0.5},          {"1.2.3", 1.2}, {"1.5E3", 1500},
                   {"1d2", 100},       {"1E+x", 1},          {"\r7", 0}, // a carriage return is not a blank
                   {"1E400", DBL_MAX}, {"-1E400", -DBL_MAX}, {"1E-400", 0}};
    for (const auto& [text, number] : cases) EXPECT_EQ(ReadNumber(text), number) << text;
}

TEST(ReadNumber, HexadecimalAndOctalWidths) {
    const std::pair<const char*, double> cases[] = {
        {"&HFFFF", -1},      {"&H0FFFF", 65535}, {"&H80000002", -2147483646},     {"&H100000000", 0},
        {"&H8000", -32768},  {"&H1AG7", 26},     {" & H 8000 0002", -2147483646}, {"&O177777", -1},
        {"&O200000", 65536}, {"&17", 0}};
    for (const auto& [text, number] : cases) EXPECT_EQ(ReadNumber(text), number) << text;
}

TEST(ReadNumber, FlagsCountsAndRoots) {
    EXPECT_TRUE(ReadFlag("-1") && ReadFlag("0.1"));
    EXPECT_FALSE(ReadFlag("yes") || ReadFlag("") || ReadFlag("-0"));
    // Counts round half to even and stay within 16 bits.
    const std::pair<const char*, int> counts[] = {{"2.5", 2},         {"3.5", 4},       {"-2.5", -2},
                                                  {"32767.5", 32767}, {"1E400", 32767}, {"-32768.5", -32768},
                                                  {"-32769", 0}};
    for (const auto& [text, count] : counts) EXPECT_EQ(ReadCount(text), count) << text;
    EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);
    EXPECT_EQ(RoundToInt32(-2147483648.5), std::optional<int32_t>(-2147483647 - 1));
    EXPECT_EQ(RoundToInt32(NAN), std::nullopt);
    EXPECT_EQ(ReadRegRoot("&H80000002"), -2147483646);
    EXPECT_EQ(ReadRegRoot("2147483650"), 0);
    EXPECT_EQ(ReadRegRoot("HKEY_LOCAL_MACHINE"), 0);
}

TEST(LeadingBlankNumber, AsTheUserSeesIt) {
    const std::pair<double, const char*> cases[] = {{1.5, " 1.5"},
                                                    {-2, "-2"},
                                                    {-0.0, " 0"},
                                                    {-0.25, "-0.25"},
                                                    {1.0 / 3, " 0.333333333333333"},
                                                    {123456789012345678.0, " 1.23456789012346E+17"},
                                                    {1e20, " 1E+20"},
                                                    {0.00001, " 1E-05"}};
    for (const auto& [number, text] : cases) EXPECT_EQ(LeadingBlankNumber(number), text) << text;
}

} // namespace
