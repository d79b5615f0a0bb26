#include "image/capcode.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

TEST(CapcodeRanges, BoundsOfTheThreeRanges) {
  struct {
    long long capcode;
    bool valid;
  } cases[] = {{0, false},       {7, false},       {8, true},       {2007663, true},
               {2007664, false}, {2007671, false}, {2007672, true}, {2045055, true},
               {2045056, false}, {2045063, false}, {2045064, true}, {2097143, true},
               {2097144, false}, {9999999, false}, {2004000, true}};
  for (const auto& c : cases) EXPECT_EQ(validCapcode(c.capcode), c.valid) << c.capcode;
}

// The register and the command line read capcodes from journal fields and operands that a person
// may have typed: only plain digits are a capcode.
TEST(CapcodeText, ReadsPlainDigitsOnlyAndWritesSevenAtLeast) {
  const struct {
    const char* text;
    std::optional<int> number;
  } cases[] = {{"2004017", 2004017}, {"0000008", 8},         {"123456789", 123456789},
               {"", std::nullopt},   {"-8", std::nullopt},   {"+8", std::nullopt},
               {"8 ", std::nullopt}, {"0x10", std::nullopt}, {"1234567890", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(capcodeNumber(c.text), c.number) << c.text;
  EXPECT_EQ(capcodeText(8), "0000008");
  EXPECT_EQ(capcodeText(kHighestCapcode), "2097143");
}

}  // namespace
}  // namespace ccp
