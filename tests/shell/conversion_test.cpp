#include "shell/conversion.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

TEST(Conversion, IntegerAcceptsSignedDecimalOnly) {
  EXPECT_EQ(toInt("0"), 0);
  EXPECT_EQ(toInt("007"), 7);
  EXPECT_EQ(toInt("-12"), -12);
  EXPECT_EQ(toInt("+5"), 5);
  EXPECT_EQ(toInt("2147483647"), 2147483647);
  EXPECT_EQ(toInt("-2147483648"), -2147483647 - 1);
  for (const char* bad :
       {"", "-", "+", " 1", "1 ", "1a", "0x10", "$10", "2147483648", "99999999999", "1.0"}) {
    EXPECT_THROW(toInt(bad), ConversionError) << bad;
  }
}

TEST(Conversion, IntegerMessageQuotesTheText) {
  try {
    toInt("");
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
}

TEST(Conversion, FloatReadsPointDecimals) {
  EXPECT_DOUBLE_EQ(toFloat("457.00000"), 457.0);
  EXPECT_DOUBLE_EQ(toFloat("152.24062"), 152.24062);
  EXPECT_DOUBLE_EQ(toFloat("45"), 45.0);
  EXPECT_DOUBLE_EQ(toFloat("-1.5"), -1.5);
  EXPECT_DOUBLE_EQ(toFloat(".5"), 0.5);
  for (const char* bad : {"", ".", "457.0.0", "4,5", "inf", "nan", " 1", "1e", "abc"}) {
    EXPECT_THROW(toFloat(bad), ConversionError) << bad;
  }
  try {
    toFloat("4x");
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'4x' is not a valid floating point value");
  }
}

}  // namespace
}  // namespace ccp
