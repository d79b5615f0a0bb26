#include <gtest/gtest.h>

#include "image/capcode.h"
#include "image/folder_slots.h"
#include "image/hex.h"
#include "image/image.h"
#include "image/pager_charset.h"
#include "image/text_field.h"

namespace ccp {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Hex, TextToBytesAndBack) {
  const std::pair<const char*, Bytes> cases[] = {
      {"FFFC", {0xFF, 0xFC}},  {"fffc", {0xFF, 0xFC}}, {"12", {0x12, 0xCC}},
      {"8", {0x8C, 0xCC}},     {"", {0xCC, 0xCC}},     {"G1x2", {0xC1, 0xC2}},
      {"12345", {0x12, 0x34}}, {"0aB9", {0x0A, 0xB9}}, {" 1-F", {0xC1, 0xCF}}};
  for (const auto& [text, bytes] : cases) EXPECT_EQ(hexToBytes(text, 4), bytes) << text;
  EXPECT_EQ(bytesToHex(Bytes{0x0A, 0xFC}), "0AFC");
}

TEST(Capcode, SplitsIntoThreeBytes) {
  const struct {
    int capcode;
    std::uint8_t high, middle, low;
  } cases[] = {{2097151, 0xFF, 0xFF, 0xF8},
               {8, 0x00, 0x00, 0x40},  // bits 4-3 = 01, frame 0
               {2004008, 0xF4, 0xA1, 0x40},
               {2097152, 0x00, 0x00, 0x00}};
  for (const auto& c : cases) {
    CapcodeBytes b = splitCapcode(c.capcode);
    EXPECT_EQ(Bytes({b.high, b.middle, b.low}), Bytes({c.high, c.middle, c.low})) << c.capcode;
    EXPECT_EQ(joinCapcode(b.high, b.middle, b.low), c.capcode & kCapcodeMax);
  }
}

TEST(Capcode, AddressFlagByteKeepsDefaultBits) {
  Image image;
  writeAddress(image.decoder, 2, 2004008, true);
  EXPECT_EQ(image.decoder[0x19], 0x46);
  writeAddress(image.decoder, 2, 2004008, false);
  EXPECT_EQ(image.decoder[0x19], 0x44);
  EXPECT_EQ(readAddress(image.decoder, 2).capcode, 2004008);
  EXPECT_EQ(readAddress(image.decoder, 1).capcode, 2004000);  // neighbours untouched
  EXPECT_EQ(readAddress(image.decoder, 3).capcode, 2004016);
}

FolderSlots allActive(int length) {
  FolderSlots f;
  f.fill({true, length});
  return f;
}

Bytes head(const FolderSlotTable& t, std::size_t n) {
  return Bytes(t.begin(), t.begin() + n);
}

TEST(FolderSlots, RunsFollowOneAnother) {
  FolderSlotTable t = encodeFolderSlots(allActive(1));
  Bytes defaults;
  for (std::uint8_t k = 0; k < kFolderCount; ++k) defaults.insert(defaults.end(), {k, k});
  EXPECT_EQ(head(t, t.size()), defaults);

  FolderSlots f = allActive(1);
  f[1] = {false, 99};  // an inactive folder's length is not used
  EXPECT_EQ(head(encodeFolderSlots(f), 6), (Bytes{0x00, 0x00, 0xFF, 0x00, 0x01, 0x01}));

  f[0] = {true, 10};
  f[1] = {true, 20};
  f[2] = {false, 1};
  t = encodeFolderSlots(f);
  EXPECT_EQ(head(t, 8), (Bytes{0x00, 0x09, 0x0A, 0x1D, 0xFF, 0x00, 0x1E, 0x1E}));
  FolderSlots back = decodeFolderSlots(t);
  EXPECT_EQ(back[1].length, 20);
  EXPECT_FALSE(back[2].active);
}

TEST(FolderSlots, LengthsWrapModulo256) {
  FolderSlots f = allActive(1);
  f[0].length = 0;  // end 0xFF at slot 0
  f[2].length = 0;
  f[4].length = 300;
  FolderSlotTable t = encodeFolderSlots(f);
  EXPECT_EQ(head(t, 6), (Bytes{0x00, 0xFF, 0x00, 0x00, 0x01, 0x00}));
  FolderSlots back = decodeFolderSlots(t);
  EXPECT_EQ(back[0].length, 256);
  EXPECT_EQ(back[2].length, 0);
  EXPECT_EQ(back[4].length, 300 - 256);

  EepBlock eep{};
  eep[eep::folderStart(3)] = 0x10;  // end below start
  eep[eep::folderEnd(3)] = 0x05;
  EXPECT_EQ(readFolderSlots(eep)[3].length, -10);
  writeFolderSlots(eep, allActive(1));
  EXPECT_EQ(Bytes({eep[0xD7], eep[0xD8], eep[0xF7], eep[0xF8]}), Bytes({0, 0, 0x0F, 0}));
}

TEST(TextField, ShortTextGetsOneTerminatorAndKeepsTheRest) {
  std::array<std::uint8_t, 4> field;
  field.fill('x');
  writeTextField(field, "AB");
  EXPECT_EQ(field, (std::array<std::uint8_t, 4>{'A', 'B', 0, 'x'}));
  EXPECT_EQ(readTextField(field), "AB");
  writeTextField(field, "WXYZ12");
  EXPECT_EQ(readTextField(field), "WXYZ");

  EXPECT_EQ(charFieldByte(""), 0);
  EXPECT_EQ(charFieldByte("Zq"), 'Z');
  EXPECT_EQ(charFieldText(0), "");
}

TEST(PagerCharset, EveryByteHasOneCharacterAndBack) {
  for (Model model : {Model::QPX730E, Model::QPX730H}) {
    for (int byte = 0; byte <= 0xFF; ++byte) {
      const auto b = static_cast<std::uint8_t>(byte);
      EXPECT_EQ(pagerByte(model, pagerChar(model, b)), b) << static_cast<int>(model) << " " << byte;
    }
  }
}

TEST(PagerCharset, EachModelReadsItsOwnSet) {
  using enum Model;
  const struct {
    Model model;
    std::uint8_t byte;
    char32_t c;
  } cases[] = {{QPX730E, 0x80, U'\u20AC'}, {QPX730E, 0xFC, U'\u00FC'}, {QPX730E, 0x81, 0x81},
               {QPX730H, 0xA4, U'\u20AA'}, {QPX730H, 0xE0, U'\u05D0'}, {QPX730H, 0xCA, 0x05BA},
               {QPX730H, 0xFC, U'\u00FC'}};  // undefined in Windows-1255: the same number
  for (const auto& c : cases) EXPECT_EQ(pagerChar(c.model, c.byte), c.c) << int{c.byte};
  EXPECT_EQ(toPagerBytes(QPX730E, U"ab\u05D0c").refused, U'\u05D0');
  EXPECT_EQ(toPagerBytes(QPX730H, U"\u00A4").refused, U'\u00A4');
}

}  // namespace
}  // namespace ccp
