#include <gtest/gtest.h>

#include <limits>

#include "platform/Numeric.h"
#include "platform/Text.h"

TEST(CaseMapping, OnlyAsciiLettersChange) {
  EXPECT_EQ(UpperAscii("yes \xC3\xA9t\xC3\xA9"), "YES \xC3\xA9T\xC3\xA9");
  EXPECT_EQ(LowerAscii("AbC-\xC3\x89"), "abc-\xC3\x89");
  EXPECT_TRUE(EqualsNoCase("FormMain", "FORMMAIN"));
  EXPECT_FALSE(EqualsNoCase("Form", "Forms"));
}

TEST(Trim, RemovesEveryControlCharacterAndBlank) {
  EXPECT_EQ(Trim("\t \x01 abc \r\n"), "abc");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(TrimLeft("  a b "), "a b ");
  EXPECT_EQ(TrimRight("  a b "), "  a b");
}

TEST(Contains, EmptyNeedleMatchesNothing) {
  EXPECT_FALSE(Contains("anything", ""));
  EXPECT_FALSE(ContainsNoCase("anything", ""));
  EXPECT_TRUE(Contains("Not Found", "Found"));
  EXPECT_FALSE(Contains("Not Found", "found"));
  EXPECT_TRUE(ContainsNoCase("Not Found", "not found"));
}

TEST(Contains, RemoveFirstNoCaseTakesOnlyTheFirstOccurrence) {
  EXPECT_EQ(RemoveFirstNoCase("C:\\Hair\\c:\\hair\\a.psd", "c:\\HAIR\\"), "c:\\hair\\a.psd");
  EXPECT_EQ(RemoveFirstNoCase("abc", ""), "abc");
  EXPECT_EQ(RemoveFirstNoCase("abc", "x"), "abc");
  EXPECT_EQ(RemoveFirstNoCase("abc", "ABC"), "");
}

TEST(Fields, SplitKeepsEmptyFieldsAndFieldTrims) {
  EXPECT_EQ(SplitFields("a;;b"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitFields(""), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitFields(";"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(Field(" Logo.avi ; 320;240", 1), "Logo.avi");
  EXPECT_EQ(Field("Logo.avi;320; 240 ", 3), "240");
  EXPECT_EQ(Field("Logo.avi", 2), "");
  EXPECT_EQ(Field("Logo.avi", 0), "");
  EXPECT_EQ(JoinFields(std::vector<std::string>(12, "")), ";;;;;;;;;;;");
}

TEST(ParseInt, AcceptsDecimalAndBothHexForms) {
  EXPECT_EQ(ParseInt("42"), 42);
  EXPECT_EQ(ParseInt("  -17 "), -17);
  EXPECT_EQ(ParseInt("+5"), 5);
  EXPECT_EQ(ParseInt("$FF"), 255);
  EXPECT_EQ(ParseInt("0x00ff00"), 0x00FF00);
  EXPECT_EQ(ParseInt("-$10"), -16);
}

TEST(ParseInt, RejectsGarbageAndOverflow) {
  EXPECT_EQ(ParseInt(""), std::nullopt);
  EXPECT_EQ(ParseInt("-"), std::nullopt);
  EXPECT_EQ(ParseInt("$"), std::nullopt);
  EXPECT_EQ(ParseInt("12a"), std::nullopt);
  EXPECT_EQ(ParseInt("1 2"), std::nullopt);
  EXPECT_EQ(ParseInt("0x1G"), std::nullopt);
  EXPECT_EQ(ParseInt("2147483647"), std::numeric_limits<int>::max());
  EXPECT_EQ(ParseInt("-2147483648"), std::numeric_limits<int>::min());
  EXPECT_EQ(ParseInt("2147483648"), std::nullopt);
  EXPECT_EQ(ParseInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(ParseInt64("9223372036854775808"), std::nullopt);
  EXPECT_EQ(ParseIntDef("x", 7), 7);
}

TEST(Rounding, TiesGoToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
  EXPECT_EQ(RoundInt(1e30), std::numeric_limits<int>::max());
  EXPECT_EQ(RoundInt(-1e30), std::numeric_limits<int>::min());
  EXPECT_EQ(RoundInt(std::nan("")), 0);
}

TEST(CheckedArithmetic, DetectsOverflow) {
  EXPECT_EQ(CheckedMul(1u << 20, 1u << 10), std::size_t(1) << 30);
  EXPECT_EQ(CheckedMul(SIZE_MAX / 2, 3), std::nullopt);
  EXPECT_EQ(CheckedMul(65536, 65536, 4), std::size_t(1) << 34);
  EXPECT_EQ(CheckedMul(SIZE_MAX, 1, 2), std::nullopt);
  EXPECT_EQ(CheckedAdd(SIZE_MAX, 1), std::nullopt);
  EXPECT_EQ(CheckedAdd(1, 2), 3u);
}
