// The channel of a configuration file through Open and Save: what the frequency field shows,
// and the synthesizer bytes that reach the saved file.
#include <gtest/gtest.h>

#include "files/config_file.h"
#include "files/temp_folder.h"
#include "image/checksum.h"
#include "image/synth.h"
#include "pager_fixture.h"

namespace ccp {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Words = std::array<std::uint8_t, 6>;
enum Chip { SM5170, KS8809, FS8308 };
enum Spacing { k25, k20, k12_5 };

constexpr std::uint8_t kChipCodeMask = 0x30;

class ChannelFile : public ::testing::Test {
 protected:
  ChannelFile() {
    save(fx, dir.file("defaults.eep"));
    defaults = test::readBytes(dir.file("defaults.eep"));
  }

  static void open(test::PagerFixture& on, const std::string& path) {
    on.platform.openAnswers.push_back(path);
    on.f().menuItem("Open1").trigger();
  }
  static void save(test::PagerFixture& on, const std::string& path) {
    on.platform.saveAnswers.push_back(path);
    on.f().menuItem("Save1").trigger();
  }

  // The file Save writes from the window's defaults, with a synthesizer of its own.
  Bytes withSynthesizer(std::uint8_t control, const Words& words, std::uint8_t chipCode) const {
    Bytes file = defaults;
    file[eep::kSynthControl] = control;
    std::copy(words.begin(), words.end(), file.begin() + kEepSize + dec::kDividerWord);
    file[eep::kChipFlags] =
        static_cast<std::uint8_t>((file[eep::kChipFlags] & ~kChipCodeMask) | chipCode << 4);
    EepBlock eep{};
    std::copy_n(file.begin(), kEepSize, eep.begin());
    storeChecksum(eep);
    std::copy(eep.begin(), eep.end(), file.begin());
    return file;
  }

  // Opens `file` in a fresh window; the window is left for the caller.
  void openInFreshWindow(const Bytes& file) {
    test::writeBytes(dir.file("in.eep"), file);
    on = std::make_unique<test::PagerFixture>();
    open(*on, dir.file("in.eep"));
    ASSERT_EQ(on->lines().back().rfind("File loaded", 0), 0u) << on->lines().back();
  }

  Bytes saveAgain() {
    save(*on, dir.file("out.eep"));
    EXPECT_EQ(on->lines().back(), "ok!");
    return test::readBytes(dir.file("out.eep"));
  }

  test::TempFolder dir;
  test::PagerFixture fx;
  Bytes defaults;
  std::unique_ptr<test::PagerFixture> on;
};

TEST_F(ChannelFile, FrequenciesAreShownAsTheyReadBackAndSavedByteForByte) {
  const struct {
    double mhz;
    int spacing;
    Chip chip;
    const char* shown;
  } cases[] = {
      {22.0, k25, SM5170, "022.00000"},  {50.0, k25, KS8809, "050.00000"},
      {50.5, k25, FS8308, "050.50000"},  {99.99375, k12_5, KS8809, "099.99375"},
      {100.0, k25, SM5170, "100.00000"}, {152.24, k20, KS8809, "152.24000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    const SynthEncoding e = encodeSynthesizer(c.mhz, c.spacing, c.chip);
    ASSERT_EQ(e.status, SynthStatus::Stored);
    const Bytes file = withSynthesizer(e.control, e.words, pllChipCode(test::kE, c.chip));
    openInFreshWindow(file);
    EXPECT_EQ(on->f().textField("channelfreq").text(), c.shown);
    EXPECT_TRUE(on->platform.errors.empty());
    EXPECT_EQ(saveAgain(), file);
  }
}

// A customer build cannot choose a chip: a loaded channel that the field cannot show must still
// save, but never reach a pager.
TEST_F(ChannelFile, LoadedChannelWithoutAFrequencySavesAsLoadedButIsNotWritten) {
  const std::string conversionError = "'---.-----' is not a valid floating point value";
  const struct {
    const char* what;
    std::uint8_t chipCode;
    std::uint8_t control;
    Words words;
  } cases[] = {
      {"PLL chip code 3", 3, 0x02, {0x00, 0x98, 0xE4, 0x00, 0x08, 0x01}},
      {"1000 MHz on the KS8809", 2, 0x02, {0x00, 0x98, 0xE8, 0x00, 0x08, 0x01}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes file = withSynthesizer(c.control, c.words, c.chipCode);
    openInFreshWindow(file);
    TForm1& f = on->f();
    EXPECT_EQ(f.textField("channelfreq").text(), "---.-----");
    EXPECT_TRUE(on->platform.errors.empty());

    // A new spacing has no frequency to encode: its error box, and the stored bytes stay.
    const SynthesizerBytes loaded = synthesizerBytes(f.image());
    f.comboBox("channelspace").choose(k20);
    EXPECT_EQ(on->platform.errors, std::vector<std::string>({conversionError}));
    EXPECT_EQ(synthesizerBytes(f.image()).control, loaded.control);
    EXPECT_EQ(synthesizerBytes(f.image()).words, loaded.words);
    // Leaving the field without typing is no error.
    f.textField("channelfreq").leave();
    EXPECT_EQ(on->platform.errors.size(), 1u);

    EXPECT_EQ(saveAgain(), file);
    EXPECT_EQ(on->platform.errors.size(), 1u);

    const EepBlock pager = on->pagerEeprom();
    f.menuItem("WriteToPager").trigger();
    EXPECT_EQ(on->platform.errors, std::vector<std::string>(2, conversionError));
    EXPECT_NE(on->lines().back(), "Write to Pager...");
    EXPECT_EQ(on->pagerEeprom(), pager);
  }
}

TEST_F(ChannelFile, TypedFrequencyReplacesTheLoadedWords) {
  openInFreshWindow(withSynthesizer(0x02, {0x00, 0x98, 0xE8, 0x00, 0x08, 0x01}, 2));  // 1000 MHz
  TextField& freq = on->f().textField("channelfreq");
  freq.edit("", 0);
  freq.type("457");
  freq.leave();
  EXPECT_EQ(freq.text(), "457.00000");
  const Bytes saved = saveAgain();
  const SynthEncoding e = encodeSynthesizer(457.0, k25, KS8809);
  EXPECT_EQ(saved[eep::kSynthControl], e.control);
  EXPECT_TRUE(std::equal(e.words.begin(), e.words.end(), saved.begin() + kEepSize + 6));
}

}  // namespace
}  // namespace ccp
