#include "image/synth.h"

#include <gtest/gtest.h>

#include <limits>

#include "shell/conversion.h"

namespace ccp {
namespace {

enum Spacing { k25, k20, k12_5, k10, k6_25 };
enum Chip { SM5170, KS8809, FS8308 };
using Words = std::array<std::uint8_t, 6>;

// Frequency, spacing, chip -> divider, decoder 0x06-0x0B, EEP 0x47, shown text.
const struct Row {
  double mhz;
  int spacing, chip;
  std::int64_t divider;
  Words words;
  std::uint8_t control;
  const char* shown;
} kRows[] = {
    {457.0, k25, SM5170, 17424, {0x22, 0x08, 0x00, 0x01, 0x00, 0x11}, 0x01, "457.00000"},
    {457.0, k25, KS8809, 17424, {0x00, 0x88, 0x20, 0x00, 0x08, 0x01}, 0x01, "457.00000"},
    {457.0, k25, FS8308, 17424, {0x01, 0x10, 0x40, 0x00, 0x10, 0x03}, 0x01, "457.00000"},
    {457.0, k12_5, KS8809, 34848, {0x01, 0x10, 0x40, 0x00, 0x10, 0x01}, 0x21, "457.00000"},
    {152.24, k25, KS8809, 10467, {0x00, 0x51, 0xC6, 0x00, 0x08, 0x01}, 0x00, "152.23750"},
    {152.24, k20, KS8809, 13084, {0x00, 0x66, 0x38, 0x00, 0x0A, 0x01}, 0x10, "152.24000"},
    {152.24, k6_25, SM5170, 41869, {0x51, 0xC6, 0x80, 0x04, 0x2A, 0x11}, 0x40, "152.24062"},
    {433.92, k25, SM5170, 16501, {0x20, 0x3A, 0x80, 0x01, 0x00, 0x11}, 0x01, "433.92500"},
    {309.99, k25, KS8809, 23087, {0x00, 0xB4, 0x5E, 0x00, 0x08, 0x01}, 0x00, "309.98750"},
    {599.0, k10, SM5170, 28880, {0x38, 0x68, 0x00, 0x02, 0x80, 0x11}, 0x32, "599.00000"},
    {800.0, k12_5, FS8308, 31144, {0x01, 0xE6, 0xA0, 0x00, 0x20, 0x03}, 0x22, "800.00000"},
    // Lowest frequency of band 1; decoding gives three digits, so a point is padded in.
    {310.0, k25, KS8809, 11544, {0x00, 0x5A, 0x30, 0x00, 0x08, 0x01}, 0x01, "310.00000"},
    // Below 100 MHz the shown text keeps three digits before the point, so it reads back as
    // the same frequency; 100 MHz needs no leading zero.
    {50.0, k25, SM5170, 2288, {0x04, 0x78, 0x00, 0x01, 0x00, 0x11}, 0x00, "050.00000"},
    {50.5, k25, KS8809, 2328, {0x00, 0x12, 0x30, 0x00, 0x08, 0x01}, 0x00, "050.50000"},
    {99.99375, k12_5, FS8308, 12575, {0x00, 0xC4, 0x7C, 0x00, 0x20, 0x03}, 0x20, "099.99375"},
    {100.0, k25, KS8809, 6288, {0x00, 0x31, 0x20, 0x00, 0x08, 0x01}, 0x00, "100.00000"},
    // q = 100.5 rounds up, q = 100.49 rounds down.
    {22.65625, k25, SM5170, 101, {0x00, 0x32, 0x80, 0x01, 0x00, 0x11}, 0x00, "022.66250"},
    {22.656125, k25, SM5170, 100, {0x00, 0x32, 0x00, 0x01, 0x00, 0x11}, 0x00, "022.65000"},
    // The intermediate frequency itself is the lowest channel.
    {21.4, k25, SM5170, 0, {0x00, 0x00, 0x00, 0x01, 0x00, 0x11}, 0x00, "021.40000"},
};

TEST(Synthesizer, EncodesAndDecodesKnownChannels) {
  for (const Row& r : kRows) {
    SCOPED_TRACE(testing::Message() << r.mhz << " spacing " << r.spacing << " chip " << r.chip);
    SynthEncoding e = encodeSynthesizer(r.mhz, r.spacing, r.chip);
    ASSERT_EQ(e.status, SynthStatus::Stored);
    EXPECT_EQ(e.divider, r.divider);
    EXPECT_EQ(e.words, r.words);
    EXPECT_EQ(e.control, r.control);
    EXPECT_EQ(decodeSynthesizer(e.control, e.words[0], e.words[1], e.words[2], r.chip), r.shown);
    // Leaving the field again re-encodes the shown text: the words must not drift.
    EXPECT_EQ(encodeSynthesizer(toFloat(r.shown), r.spacing, r.chip).words, e.words);
  }
}

TEST(Synthesizer, ReferenceWordsFollowSpacingAndChip) {
  using Ref = std::array<std::uint8_t, 3>;
  const Ref expected[5][3] = {
      {{0x01, 0x00, 0x11}, {0x00, 0x08, 0x01}, {0x00, 0x10, 0x03}},
      {{0x01, 0x40, 0x11}, {0x00, 0x0A, 0x01}, {0x00, 0x14, 0x03}},
      {{0x02, 0x00, 0x11}, {0x00, 0x10, 0x01}, {0x00, 0x20, 0x03}},
      {{0x02, 0x80, 0x11}, {0x00, 0x14, 0x01}, {0x00, 0x28, 0x03}},
      {{0x04, 0x2A, 0x11}, {0x00, 0x20, 0x01}, {0x00, 0x40, 0x03}},
  };
  for (int spacing = 0; spacing < kSpacingCount; ++spacing) {
    for (int chip = 0; chip < kPllChipCount; ++chip) {
      Words w = encodeSynthesizer(457.0, spacing, chip).words;
      EXPECT_EQ((Ref{w[3], w[4], w[5]}), expected[spacing][chip]) << spacing << " " << chip;
    }
  }
}

TEST(Synthesizer, RefusesWhatTheLayoutsCannotHold) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double mhz;
    int spacing, chip;
    SynthStatus status;
  } cases[] = {
      {21.39999, k25, KS8809, SynthStatus::BelowIntermediateFrequency},
      {-457.0, k25, -1, SynthStatus::BelowIntermediateFrequency},
      {nan, k25, KS8809, SynthStatus::BelowIntermediateFrequency},
      {457.0, -1, KS8809, SynthStatus::NoStep},
      {457.0, 5, KS8809, SynthStatus::NoStep},
      // Largest divider of each layout, far beyond what the field shows, then one more.
      {1659.7875, k6_25, SM5170, SynthStatus::BeyondField},
      {1659.8, k6_25, SM5170, SynthStatus::DividerTooLarge},
      {104878.9875, k6_25, KS8809, SynthStatus::BeyondField},
      {104879.0, k6_25, KS8809, SynthStatus::DividerTooLarge},
      {52450.1875, k6_25, FS8308, SynthStatus::BeyondField},
      {52450.2, k6_25, FS8308, SynthStatus::DividerTooLarge},
      // 999.99999 MHz snaps to 1000 MHz, chip or none.
      {999.99999, k25, KS8809, SynthStatus::BeyondField},
      {999.99999, k25, -1, SynthStatus::BeyondField},
      {104879.0, k6_25, -1, SynthStatus::DividerTooLarge},
      {1e300, k25, KS8809, SynthStatus::DividerTooLarge},
      {inf, k25, -1, SynthStatus::DividerTooLarge},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(encodeSynthesizer(c.mhz, c.spacing, c.chip).status, c.status)
        << c.mhz << " " << c.chip;
  }
}

TEST(Synthesizer, StoresOnlyWhatTheEncodingProduced) {
  Image before;
  before.eep[0x47] = 0x77;
  Image image = before;
  storeSynthesizer(image, encodeSynthesizer(10.0, k25, KS8809));  // refused
  EXPECT_EQ(image.eep, before.eep);
  storeSynthesizer(image, encodeSynthesizer(457.0, k12_5, 3));  // no chip: control byte only
  EXPECT_EQ(image.eep[0x47], 0x21);
  EXPECT_EQ(image.decoder, before.decoder);

  storeSynthesizer(image, encodeSynthesizer(457.0, k25, FS8308));
  Image expected = before;
  expected.eep[0x47] = 0x01;
  const Words w = {0x01, 0x10, 0x40, 0x00, 0x10, 0x03};
  std::copy(w.begin(), w.end(), expected.decoder.begin() + 6);
  EXPECT_EQ(image.eep, expected.eep);
  EXPECT_EQ(image.decoder, expected.decoder);
  EXPECT_EQ(decodeSynthesizer(image, FS8308), "457.00000");
}

TEST(Synthesizer, UndefinedWordsShowATextThatIsNoFrequency) {
  const std::pair<std::uint8_t, int> cases[] = {{0x50, KS8809}, {0xF1, KS8809}, {0x03, KS8809},
                                                {0x04, KS8809}, {0x01, -1},     {0x01, 3}};
  for (auto [control, chip] : cases) {
    EXPECT_EQ(decodeSynthesizer(control, 0x00, 0x88, 0x20, chip), kNoFrequencyText) << +control;
  }
  const std::string shown(kNoFrequencyText);
  EXPECT_EQ(padFrequencyText(shown), shown);
  EXPECT_THROW(toFloat(shown), ConversionError);
}

TEST(Synthesizer, ShownTextIsCutAndPaddedToNineCharacters) {
  // Three digits before the point at most: a stored 1000 MHz or more shows no frequency.
  EXPECT_EQ(decodeSynthesizer(0x02, 0xFF, 0xFF, 0xFF, KS8809), kNoFrequencyText);
  EXPECT_EQ(decodeSynthesizer(0x02, 0x00, 0x98, 0xE4, KS8809), "999.90000");       // N = 19570
  EXPECT_EQ(decodeSynthesizer(0x02, 0x00, 0x98, 0xE8, KS8809), kNoFrequencyText);  // 1000.0
  EXPECT_EQ(formatFrequency(1234.5), "1234.5000");
  EXPECT_EQ(formatFrequency(152.240625), "152.24062");
  EXPECT_EQ(formatFrequency(22.0), "022.00000");
  EXPECT_EQ(formatFrequency(99.9999999), "099.99999");
  const std::pair<const char*, const char*> pads[] = {
      {"457", "457.00000"}, {"45", "450.00000"},    {"4570", "457000000"},
      {"", "000.00000"},    {"152.2", "152.20000"}, {"1234567890", "1234567890"}};
  for (auto [text, padded] : pads) EXPECT_EQ(padFrequencyText(text), padded) << text;
}

}  // namespace
}  // namespace ccp
