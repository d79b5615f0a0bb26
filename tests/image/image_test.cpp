#include "image/image.h"

#include <gtest/gtest.h>

#include "image/capcode.h"
#include "image/checksum.h"

namespace ccp {
namespace {

using Bytes = std::vector<std::uint8_t>;
const BuildConfig kE{Model::QPX730E, Edition::Customer};
const BuildConfig kH{Model::QPX730H, Edition::Factory};

TEST(Image, StartsWithTheDefaultDecoderBlockAndZeros) {
  for (const BuildConfig& config : {kE, kH}) {
    Image image(config);
    EXPECT_EQ(image.eep, EepBlock{});
    EXPECT_EQ(image.eepRead, EepBlock{});
    EXPECT_EQ(image.decoderRead, DecoderBlock{});
    const DecoderBlock& d = image.decoder;
    // Polarity normal, baud code 11, SM5170 words with reference 256, six enabled addresses.
    EXPECT_EQ(Bytes(d.begin(), d.begin() + 12),
              (Bytes{0x00, 0x7F, 0, 0, 0, 0, 0x28, 0x58, 0x80, 0x01, 0x00, 0x11}));
    for (int n = 1; n <= kAddressCount; ++n) {
      DecoderAddress a = readAddress(d, n);
      EXPECT_EQ(a.capcode, 2004000 + 8 * (n - 1));
      EXPECT_TRUE(a.enabled);
    }
    EXPECT_EQ(Bytes(d.begin() + 0x18, d.begin() + 0x1E),
              (Bytes{0x06, 0x46, 0x86, 0xC6, 0x06, 0x46}));
    EXPECT_EQ(Bytes(d.begin() + 0x1E, d.end()), Bytes(18, 0));
  }
  Image image;
  image.decoder.fill(0xAA);
  resetDecoderBlock(image, kH);
  EXPECT_EQ(image.decoder, Image(kE).decoder);
}

TEST(Checksum, CoversExactlyTheSettingsRecord) {
  EepBlock good{};
  for (std::size_t i = 0; i < 18; ++i) good[i] = 0xFF;  // 18 * 0xFF + 0x46 = 0x1234
  good[18] = 0x46;
  for (std::size_t i = 0x100; i < kEepSize; ++i) good[i] = static_cast<std::uint8_t>(i);
  good[0xFF] = 0x99;  // a stale checksum is not part of the sum
  EXPECT_FALSE(checksumOk(good));
  storeChecksum(good);
  EXPECT_EQ(good[0xFF], 0xCB);
  EXPECT_TRUE(checksumOk(good));

  for (std::size_t i = 0; i < kEepSize; ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      EepBlock eep = good;
      eep[i] ^= static_cast<std::uint8_t>(1 << bit);
      EXPECT_EQ(checksumOk(eep), i >= kSettingsRecordSize) << i << " bit " << bit;
    }
  }
}

TEST(BuildConstants, ModelMarkersAndPllCodes) {
  EXPECT_TRUE(modelMatches(kE, 0x00));
  EXPECT_FALSE(modelMatches(kE, 0x55));
  EXPECT_TRUE(modelMatches(kE, 0x12));
  EXPECT_TRUE(modelMatches(kH, 0x55));
  EXPECT_FALSE(modelMatches(kH, 0x00));
  EXPECT_TRUE(modelMatches(kH, 0xFF));

  const std::uint8_t codes[] = {0, 2, 1, 3};  // by `pll` item index
  for (int item = 0; item < 4; ++item) {
    EXPECT_EQ(pllChipCode(kE, item), codes[item]);
    EXPECT_EQ(pllItemIndex(kH, codes[item]), item);
  }
  EXPECT_EQ(pllChipCode(kE, -1), 3);  // no chip stays no chip
}

}  // namespace
}  // namespace ccp
