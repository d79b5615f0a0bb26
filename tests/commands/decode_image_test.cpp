#include "commands/decode_image.h"

#include <gtest/gtest.h>

#include <functional>

#include "commands/encode_image.h"
#include "form_fixture.h"

namespace ccp {
namespace {

using test::FormFixture;

// An image holding the defaults, changed by `edit`, then shown in the window.
void decodeEdited(TForm1& f, const std::function<void(Image&)>& edit) {
  EncodeImage(f);
  edit(f.image());
  DecodeImage(f);
}

struct Shown {
  const char* name;
  std::string text;  // a list's item index, a check box's "0"/"1", or a field's text
};

std::string state(TForm1& f, const char* name) {
  Control* c = f.findControl(name);
  if (c->kind() == ControlKind::ComboBox) return std::to_string(f.comboBox(name).index());
  if (c->kind() == ControlKind::CheckBox) return f.checkBox(name).checked() ? "1" : "0";
  return f.textField(name).text();
}

TEST(DecodeImage, ValuesAsTheWindowShowsThem) {
  const struct {
    const char* what;
    BuildConfig config;
    std::function<void(Image&)> edit;
    std::vector<Shown> shown;
  } cases[] = {
      {"message time 6 has no entry",
       test::kE,
       [](Image& i) { i.eep[0x0A] |= 0x10, i.eep[0x1C] = (i.eep[0x1C] & ~0x0C) | 0x08; },
       {{"msgdisptime", "-1"}}},
      {"numbers without leading zeros",
       test::kE,
       [](Image& i) { i.eep[0x09] = 0x1E, i.eep[0x1D] = 5; },
       {{"rangetime", "30"}, {"lcdholdtime", "5"}}},
      {"titles end at a zero byte",
       test::kE,
       [](Image& i) {
         std::copy_n("AB\0DEFGHI", 9, i.eep.begin() + 0x48);
         std::copy_n("ABCDEFGHI", 9, i.eep.begin() + 0x51);
       },
       {{"pubbox0", "AB"}, {"pubbox1", "ABCDEFGHI"}}},
      {"PLL code 1", test::kE, [](Image& i) { i.eep[0xFA] = 0x10; }, {{"pll", "2"}}},
      {"enabled address",
       test::kE,
       [](Image& i) { i.decoder[0x18] = 0x46; },
       {{"address1", "2004008"}, {"addr1en", "1"}}},
      {"disabled address",
       test::kE,
       [](Image& i) { i.decoder[0x18] = 0x44; },
       {{"address1", "2004008"}, {"addr1en", "0"}}},
      {"urgent call on E",
       test::kE,
       [](Image& i) { i.eep[0x1C] = 0xB3; },
       {{"urgentcall", "0"}, {"urgcalltype", "3"}, {"alerttime", "3"}}},
      {"urgent call on H",
       test::kH,
       [](Image& i) { i.eep[0x1C] = 0xC3; },
       {{"urgentcall", "1"}, {"urgcalltype", "-1"}}},
      {"baud code 01 keeps the selection",
       test::kE,
       [](Image& i) { i.decoder[0x01] = 0x10; },
       {{"baudrate", "1"}}},
      {"a zero byte ends the password",
       test::kE,
       [](Image& i) { i.eep[0x26] = 0; },
       {{"password", "478"}}},
      // The firmware rule removes "64 sec" before the time lists are selected.
      {"long times, firmware 3",
       test::kEFactory,
       [](Image& i) { i.eep[0xF8] = 3, i.eep[0x0A] |= 0x30, i.eep[0x1C] &= 0xF0; },
       {{"alerttime", "-1"}, {"msgdisptime", "-1"}}},
      {"long times, firmware 4",
       test::kEFactory,
       [](Image& i) { i.eep[0x0A] |= 0x30, i.eep[0x1C] &= 0xF0; },
       {{"alerttime", "4"}, {"msgdisptime", "4"}}},
      {"lengths zero and below",
       test::kE,
       [](Image& i) { i.eep[0xDA] = 5, i.eep[0xDB] = 4, i.eep[0xDC] = 5, i.eep[0xDD] = 2; },
       {{"pubboxlength1", "0"}, {"pubboxlength2", "-2"}}},
  };
  for (const auto& c : cases) {
    FormFixture fx(c.config);
    decodeEdited(fx.f(), c.edit);
    for (const Shown& s : c.shown)
      EXPECT_EQ(state(fx.f(), s.name), s.text) << c.what << ": " << s.name;
  }
}

TEST(DecodeImage, UnshownCodesSurviveTheNextEncoding) {
  FormFixture fx;
  TForm1& f = fx.f();
  decodeEdited(f, [](Image& i) {
    i.eep[0x1F] = 0xCC, i.eep[0x27] = 0x73, i.eep[0x28] = 0x09, i.eep[0xFB] = 0x07;
    i.eep[0x0A] |= 0x30, i.eep[0x1C] = (i.eep[0x1C] & 0xF0) | 0x0B;  // times 6 and 7
  });
  for (const char* name : {"language", "menulanguage", "urgcalladdr", "repeatcallcheck",
                           "addrcheck", "repeatcallreject", "alerttime", "msgdisptime"}) {
    EXPECT_EQ(f.comboBox(name).index(), -1) << name;
  }
  const Image decoded = f.image();
  EncodeImage(f);
  for (std::size_t at : {0x0A, 0x1C, 0x1F, 0x27, 0x28, 0xFB}) {
    EXPECT_EQ(f.image().eep[at], decoded.eep[at]) << at;
  }
  f.comboBox("language").choose(2);  // choosing an entry replaces the code
  EncodeImage(f);
  EXPECT_EQ(f.image().eep[0x1F], 0xC2);
}

TEST(DecodeImage, UnknownChipIsKeptButNoFrequencyShown) {
  FormFixture fx(test::kEFactory);
  TForm1& f = fx.f();
  decodeEdited(f, [](Image& i) { i.eep[0xFA] = 0x30; });
  EXPECT_EQ(f.comboBox("pll").index(), -1);
  EXPECT_EQ(f.textField("channelfreq").text(), "---.-----");
  f.textField("channelfreq").setText("457.00000");
  EncodeImage(f);
  EXPECT_EQ(f.image().eep[0xFA], 0x30);
}

TEST(DecodeImage, InactiveFirstFolderRunsTheUncheckRuleBeforeTheOthers) {
  FormFixture fx;
  TForm1& f = fx.f();
  decodeEdited(f, [](Image& i) { i.eep[0xD8] = 0xFF, i.eep[0xD9] = 0x00; });
  EXPECT_FALSE(f.checkBox("pubboxact0").checked());
  EXPECT_FALSE(f.textField("pubbox0").enabled());
  // The rule unchecked and locked folders 1-7; decoding then checked them again.
  EXPECT_TRUE(f.checkBox("pubboxact1").checked());
  EXPECT_FALSE(f.checkBox("pubboxact1").enabled());
  EXPECT_TRUE(f.textField("pubbox1").enabled());
  EXPECT_TRUE(f.checkBox("pubboxact8").enabled());
}

}  // namespace
}  // namespace ccp
