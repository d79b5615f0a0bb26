#include "image/pager_charset.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

TEST(PagerCharset, EveryByteHasOneCharacterAndBack) {
  for (Model model : {Model::QPX730E, Model::QPX730H}) {
    for (int byte = 0; byte <= 0xFF; ++byte) {
      const auto b = static_cast<std::uint8_t>(byte);
      EXPECT_EQ(pagerByte(model, pagerChar(model, b)), b) << static_cast<int>(model) << " " << byte;
    }
  }
}

TEST(PagerCharset, EachModelReadsItsOwnSet) {
  const struct {
    Model model;
    std::uint8_t byte;
    char32_t c;
  } cases[] = {
      {Model::QPX730E, 0x80, U'€'}, {Model::QPX730E, 0xFC, U'ü'}, {Model::QPX730E, 0x9F, U'Ÿ'},
      {Model::QPX730E, 0x81, 0x81}, {Model::QPX730H, 0x80, U'€'}, {Model::QPX730H, 0xA4, U'₪'},
      {Model::QPX730H, 0xE0, U'א'}, {Model::QPX730H, 0xFA, U'ת'}, {Model::QPX730H, 0xCA, 0x05BA},
      {Model::QPX730H, 0xFC, U'ü'},  // undefined in the set: the code point of the same number
  };
  for (const auto& c : cases) EXPECT_EQ(pagerChar(c.model, c.byte), c.c) << int{c.byte};

  const PagerBytes greeting = toPagerBytes(Model::QPX730H, U"שלום ₪5");
  EXPECT_EQ(greeting.bytes,
            "\xF9\xEC\xE5\xED \xA4"
            "5");
  EXPECT_FALSE(greeting.refused);
  EXPECT_EQ(toPagerBytes(Model::QPX730E, U"ab\u05D0c").refused, U'א');
  EXPECT_EQ(toPagerBytes(Model::QPX730H, U"¤").refused, U'¤');
  EXPECT_EQ(toPagerBytes(Model::QPX730E, U"日").refused, U'日');
}

}  // namespace
}  // namespace ccp
