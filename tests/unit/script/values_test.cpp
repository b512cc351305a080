#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "script/values.h"

namespace {

TEST(ReadNumber, DecimalNumbersAsTheScriptWritesThem) {
    EXPECT_EQ(12, ReadNumber("1 2"));
    EXPECT_EQ(12, ReadNumber("12 MB"));
    EXPECT_EQ(123, ReadNumber(" \t1\n2 3"));
    EXPECT_EQ(0, ReadNumber("abc"));
    EXPECT_EQ(-1, ReadNumber("-1"));
    EXPECT_EQ(-1, ReadNumber("- 1"));
    EXPECT_EQ(0, ReadNumber("--1"));
    EXPECT_EQ(0.5, ReadNumber(".5"));
    EXPECT_EQ(1.2, ReadNumber("1.2.3"));
    EXPECT_EQ(1500, ReadNumber("1.5E3"));
    EXPECT_EQ(100, ReadNumber("1d2"));
    EXPECT_EQ(1, ReadNumber("1E"));
    EXPECT_EQ(1, ReadNumber("1E+x"));
    EXPECT_EQ(0, ReadNumber("\r7")); // a carriage return is not a blank
}

TEST(ReadNumber, HexadecimalAndOctalWidths) {
    EXPECT_EQ(-1, ReadNumber("&HFFFF"));
    EXPECT_EQ(65535, ReadNumber("&H0FFFF"));
    EXPECT_EQ(65536, ReadNumber("&H10000"));
    EXPECT_EQ(-2147483646, ReadNumber("&H80000002"));
    EXPECT_EQ(0, ReadNumber("&H100000000")); // does not fit 32 bits
    EXPECT_EQ(-32768, ReadNumber("&H8000"));
    EXPECT_EQ(26, ReadNumber("&H1AG7"));
    EXPECT_EQ(-2147483646, ReadNumber(" & H 8000 0002"));
    EXPECT_EQ(-1, ReadNumber("&O177777"));
    EXPECT_EQ(65536, ReadNumber("&O200000"));
    EXPECT_EQ(0, ReadNumber("&17"));
}

TEST(ReadNumber, HugeNumbersStayFinite) {
    EXPECT_EQ(DBL_MAX, ReadNumber("1E400"));
    EXPECT_EQ(-DBL_MAX, ReadNumber("-1E400"));
    EXPECT_EQ(0, ReadNumber("1E-400"));
}

TEST(ReadFlag, OnlyNonZeroNumbersAreOn) {
    EXPECT_TRUE(ReadFlag("1"));
    EXPECT_TRUE(ReadFlag("-1"));
    EXPECT_TRUE(ReadFlag("0.1"));
    EXPECT_FALSE(ReadFlag("yes"));
    EXPECT_FALSE(ReadFlag(""));
    EXPECT_FALSE(ReadFlag("-0"));
}

TEST(ReadCount, RoundsHalfToEvenAndClamps) {
    EXPECT_EQ(2, ReadCount("2.5"));
    EXPECT_EQ(4, ReadCount("3.5"));
    EXPECT_EQ(-2, ReadCount("-2.5"));
    EXPECT_EQ(0, ReadCount("0.5"));
    EXPECT_EQ(32767, ReadCount("32767.5"));
    EXPECT_EQ(32767, ReadCount("100000"));
    EXPECT_EQ(32767, ReadCount("1E400"));
    EXPECT_EQ(-32768, ReadCount("-32768.5"));
    EXPECT_EQ(0, ReadCount("-32769"));
}

TEST(RoundToInteger, HalfToEvenAndRange) {
    EXPECT_EQ(std::optional<int16_t>(2), RoundToInt16(2.5));
    EXPECT_EQ(std::optional<int16_t>(-32768), RoundToInt16(-32768.4));
    EXPECT_EQ(std::nullopt, RoundToInt16(32767.5));
    EXPECT_EQ(std::nullopt, RoundToInt16(-32768.6));
    EXPECT_EQ(std::optional<int32_t>(2147483647), RoundToInt32(2147483647.4));
    EXPECT_EQ(std::nullopt, RoundToInt32(2147483647.5));
    EXPECT_EQ(std::optional<int32_t>(-2147483647 - 1), RoundToInt32(-2147483648.5));
    EXPECT_EQ(std::nullopt, RoundToInt32(NAN));
}

TEST(ReadRegRoot, SignedRootsAndMisfits) {
    EXPECT_EQ(-2147483646, ReadRegRoot("&H80000002"));
    EXPECT_EQ(-2147483646, ReadRegRoot("-2147483646"));
    EXPECT_EQ(0, ReadRegRoot("2147483650"));
    EXPECT_EQ(0, ReadRegRoot("HKEY_LOCAL_MACHINE"));
}

TEST(LeadingBlankNumber, AsTheUserSeesIt) {
    EXPECT_EQ(" 1.5", LeadingBlankNumber(1.5));
    EXPECT_EQ(" 50", LeadingBlankNumber(50));
    EXPECT_EQ("-2", LeadingBlankNumber(-2));
    EXPECT_EQ(" 0", LeadingBlankNumber(-0.0));
    EXPECT_EQ(" 0.5", LeadingBlankNumber(0.5));
    EXPECT_EQ("-0.25", LeadingBlankNumber(-0.25));
    EXPECT_EQ(" 0.333333333333333", LeadingBlankNumber(1.0 / 3));
    EXPECT_EQ(" 1.23456789012346E+17", LeadingBlankNumber(123456789012345678.0));
    EXPECT_EQ(" 1E+20", LeadingBlankNumber(1e20));
    EXPECT_EQ(" 1E-05", LeadingBlankNumber(0.00001));
}

} // namespace
